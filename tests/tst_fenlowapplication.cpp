#include "app/fenlowapplication.h"
#include "engine/rulestore.h"
#include "support/fakes.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace Qt::StringLiterals;

// Runs inside the program's own application object, as the program does.
class tst_FenlowApplication : public QObject {
    Q_OBJECT
public:
    explicit tst_FenlowApplication(FakeMessageBoxes &messages)
        : m_messages(messages)
    {
    }

private slots:
    void failureInAHandlerIsShownAndTheProgramRunsOn();

private:
    FakeMessageBoxes &m_messages;
};

void tst_FenlowApplication::failureInAHandlerIsShownAndTheProgramRunsOn()
{
    QPushButton button(u"押す"_s);
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] {
        if (++clicks == 1) {
            throw std::runtime_error("disk on fire");
        }
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));

    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(m_messages.shown.size(), 1);
    QVERIFY(m_messages.shown[0].contains(QLatin1String("disk on fire")));

    // A timer's handler too, and the next event is handled as usual.
    QTimer::singleShot(0, [] { throw StoreError(u"規則を読み込めません"_s); });
    QTRY_COMPARE(m_messages.shown.size(), 2);
    QVERIFY(m_messages.shown[1].contains(u"規則を読み込めません"_s));
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
    QCOMPARE(m_messages.shown.size(), 2);
}

int main(int argc, char *argv[])
{
    FenlowApplication app(argc, argv);
    FakeMessageBoxes messages;
    app.setMessageBoxes(&messages);
    tst_FenlowApplication test(messages);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fenlowapplication.moc"
