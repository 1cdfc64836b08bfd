#include "app/fenlowapplication.h"

#include "engine/rulestore.h"
#include "platform/messageboxes.h"

#include <exception>

using namespace Qt::StringLiterals;

FenlowApplication::FenlowApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool FenlowApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const StoreError &error) {
        showUnexpected(error.description());
    } catch (const std::exception &error) {
        showUnexpected(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showUnexpected(u"原因のわからないエラーです。"_s);
    }
    return false;
}

void FenlowApplication::showUnexpected(const QString &description)
{
    const QString text = u"予期しないエラーが発生しました。処理は続けます。\n%1"_s.arg(description);
    if (m_messages) {
        m_messages->show(text);
    } else {
        qWarning("%s", qPrintable(text));
    }
}
