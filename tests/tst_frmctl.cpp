#include "platform/cp932.h"
#include "support/mainwindowfixture.h"
#include "support/testfolders.h"
#include "ui/frmctl.h"
#include "ui/twips.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

using TestFolders::entries;
using TestFolders::readFile;

namespace {

// Presses "環境設定" and, once the modal dialog is open, runs act on it; the dialog is closed
// afterwards if act left it open, so a failing case never hangs.
void withDialog(MainWindowFixture &f, const std::function<void(QWidget *)> &act)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QPointer<QWidget> dialog = f.window->findChild<QWidget *>(u"frmCTL"_s);
        if (dialog) {
            ran = true;
            act(dialog);
        }
        if (dialog && dialog->isVisible()) {
            dialog->close();
        }
    });
    QTest::mouseClick(f.button("Command3"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(ran);
    QVERIFY(!f.window->findChild<QWidget *>(u"frmCTL"_s));
}

QLineEdit *box(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QLatin1String(name));
}

void retype(QWidget *dialog, const char *name, const QString &text)
{
    QLineEdit *edit = box(dialog, name);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // Japanese text arrives from the input method as a committed string.
    QInputMethodEvent typed;
    typed.setCommitString(text);
    QApplication::sendEvent(edit, &typed);
}

void pressRegister(QWidget *dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
}

QString label(MainWindowFixture &f, const char *name)
{
    return f.find<QLabel>(QLatin1String(name))->text();
}

} // namespace

class tst_frmCTL : public QObject {
    Q_OBJECT
private slots:
    void layoutAndFocus();
    void openingShowsTheRecord();
    void registerWritesRecordFileAndDisplay();
    void closingChangesNothing();
    void enterAndEscapeDoNothing();
    void passWhileOpenUsesTheOldFolders();
    void refusedWriteIsReported_data();
    void refusedWriteIsReported();
};

void tst_frmCTL::layoutAndFocus()
{
    MainWindowFixture f;
    f.window->Show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    withDialog(f, [&](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), u"Form1"_s);
        QCOMPARE(dialog->size(), Twips::size(6345, 2685));
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->parentWidget(), f.window.get());
        const QList<std::tuple<const char *, QRect, QString>> controls{
            {"Label1", QRect(240, 720, 1095, 255), u"検索フォルダ"_s},
            {"Label2", QRect(240, 1200, 1095, 375), u"作業フォルダ"_s},
            {"Text1", QRect(1440, 600, 4575, 375), {}},
            {"Text2", QRect(1440, 1080, 4575, 375), {}},
            {"Command1", QRect(5280, 2040, 735, 375), u"登録"_s},
        };
        for (const auto &[name, twips, caption] : controls) {
            QWidget *control = dialog->findChild<QWidget *>(QLatin1String(name));
            QVERIFY2(control, name);
            QCOMPARE(control->geometry(), Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
            if (auto *labelWidget = qobject_cast<QLabel *>(control)) {
                QCOMPARE(labelWidget->text(), caption);
            } else if (auto *button = qobject_cast<QPushButton *>(control)) {
                QCOMPARE(button->text(), caption);
                QVERIFY(!button->isDefault());
            }
        }
        QTRY_COMPARE(QApplication::focusWidget(), box(dialog, "Text1"));
        QStringList order;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(order, (QStringList{"Text2", "Command1", "Text1"}));
    });
}

void tst_frmCTL::openingShowsTheRecord()
{
    MainWindowFixture f;
    f.folders = {u"C:\\Program File\\ZEZERU\\xxxxxx.attach"_s, u"C:\\remove"_s};
    withDialog(f, [&](QWidget *dialog) {
        QCOMPARE(box(dialog, "Text1")->text(), u"C:\\Program File\\ZEZERU\\xxxxxx.attach"_s);
        QCOMPARE(box(dialog, "Text2")->text(), u"C:\\remove"_s);
    });
}

void tst_frmCTL::registerWritesRecordFileAndDisplay()
{
    MainWindowFixture f;
    const QString ini = f.dir.filePath(u"Fenlow.ini"_s);
    const QString newSearch = f.dir.filePath(u"受信 箱"_s);
    withDialog(f, [&](QWidget *dialog) {
        retype(dialog, "Text1", newSearch);
        retype(dialog, "Text2", QString()); // an empty folder is taken as typed
        pressRegister(dialog);
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(f.folders.SearchFolder, newSearch);
    QCOMPARE(f.folders.WorkFolder, QString());
    QCOMPARE(label(f, "Label3"), newSearch);
    QCOMPARE(label(f, "Label4"), QString());
    QCOMPARE(readFile(ini), "[Center]\r\nserch=" + Cp932::encode(newSearch).value() + "\r\nremove=\r\n");
    QVERIFY(f.messages.shown.isEmpty());

    // Registering again without a change writes the same file.
    withDialog(f, [&](QWidget *dialog) { pressRegister(dialog); });
    QCOMPARE(readFile(ini), "[Center]\r\nserch=" + Cp932::encode(newSearch).value() + "\r\nremove=\r\n");
}

void tst_frmCTL::closingChangesNothing()
{
    MainWindowFixture f;
    withDialog(f, [&](QWidget *dialog) {
        retype(dialog, "Text1", u"/elsewhere"_s);
        dialog->close();
    });
    QCOMPARE(f.folders.SearchFolder, f.search);
    QCOMPARE(label(f, "Label3"), f.search);
    QVERIFY(!QFile::exists(f.dir.filePath(u"Fenlow.ini"_s)));
    withDialog(f, [&](QWidget *dialog) { QCOMPARE(box(dialog, "Text1")->text(), f.search); });
}

void tst_frmCTL::enterAndEscapeDoNothing()
{
    MainWindowFixture f;
    withDialog(f, [&](QWidget *dialog) {
        retype(dialog, "Text1", u"/typed"_s);
        QTest::keyClick(box(dialog, "Text1"), Qt::Key_Return);
        QTest::keyClick(box(dialog, "Text2"), Qt::Key_Enter);
        QTest::keyClick(box(dialog, "Text1"), Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        dialog->close();
    });
    QCOMPARE(f.folders.SearchFolder, f.search);
    QVERIFY(!QFile::exists(f.dir.filePath(u"Fenlow.ini"_s)));

    // Enter on the focused "登録" presses it: the typed folders are registered.
    withDialog(f, [&](QWidget *dialog) {
        retype(dialog, "Text1", u"/typed"_s);
        auto *command1 = dialog->findChild<QPushButton *>(u"Command1"_s);
        command1->setFocus();
        QTest::keyClick(command1, Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(f.folders.SearchFolder, u"/typed"_s);
}

void tst_frmCTL::passWhileOpenUsesTheOldFolders()
{
    MainWindowFixture f;
    const QString otherWork = f.dir.filePath(u"other"_s);
    QDir().mkpath(otherWork);
    f.drop({u"a.txt"_s});
    f.click("Command2");
    f.tickAt(59);
    withDialog(f, [&](QWidget *dialog) {
        retype(dialog, "Text2", otherWork);
        f.tickAt(0); // the timer keeps ticking while the dialog is open
        QCOMPARE(entries(f.work), QStringList{u"a.txt"_s});
        QCOMPARE(entries(otherWork), QStringList{});
        pressRegister(dialog);
    });
    f.drop({u"b.txt"_s});
    f.passAtTheNextMinute();
    QCOMPARE(entries(otherWork), QStringList{u"b.txt"_s});
}

void tst_frmCTL::refusedWriteIsReported_data()
{
    QTest::addColumn<QString>("cause");
    QTest::newRow("configuration file cannot be written") << "unwritable";
    QTest::newRow("folder outside code page 932") << "code page";
}

void tst_frmCTL::refusedWriteIsReported()
{
    QFETCH(QString, cause);
    MainWindowFixture f;
    const QString ini = f.dir.filePath(u"Fenlow.ini"_s);
    QString newSearch = f.dir.filePath(u"new"_s);
    if (cause == "unwritable") {
        QDir().mkpath(ini); // a folder where the file should be: no write can replace it
    } else {
        newSearch += u"😀"_s;
    }
    withDialog(f, [&](QWidget *dialog) {
        retype(dialog, "Text1", newSearch);
        pressRegister(dialog);
    });
    // The new folders apply for the rest of the run, and the operator is told the file lags.
    QCOMPARE(f.folders.SearchFolder, newSearch);
    QCOMPARE(label(f, "Label3"), newSearch);
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY(f.messages.shown[0].contains(ini));
    QVERIFY(!QFileInfo(ini).isFile());
}

QTEST_MAIN(tst_frmCTL)
#include "tst_frmctl.moc"
