#include "engine/history.h"
#include "support/mainwindowfixture.h"
#include "support/testfolders.h"
#include "ui/datacontrol.h"
#include "ui/frmmain.h"
#include "ui/statuspanels.h"
#include "ui/twips.h"
#include "ui/windowlist.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

using TestFolders::entries;

namespace {

// Records the order in which windows receive their close event.
class CloseRecorder : public QObject {
public:
    QStringList closed;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close) {
            closed.append(watched->property("label").toString());
        }
        return false;
    }
};

} // namespace

class tst_frmMain : public QObject {
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void stateAtLoad();
    void menus();
    void tabOrder();
    void enterOnAFocusedButtonClicksIt_data();
    void enterOnAFocusedButtonClicksIt();
    void switchOnAndOff();
    void markerBlinksBySecond();
    void passAtTheMinuteMovesFiles();
    void typedRuleReachesTheNextPassAndTheTable();
    void navigationStopsAtTheEnds();
    void refusedRuleWriteDuringAPassDoesNotBlock();
    void passFailuresReportedWithoutStopping();
    void repeatedProblemsRaiseTheReportOnce();
    void statusPanelTellsTheLastPass();
    void statusPanelTellsOfRulesChangedInAnEditor();
    void missingFolderReportedOnceUntilTheFoldersChange();
    void historyWindowListsEveryFileNewestFirst();
    void historyThatCannotBeWrittenIsToldOnce();
    void missingDatabaseReportedAtLoad();
    void unloadClosesOtherWindowsNewestFirst();
    void unloadOfAWindowNeverShown();
    void manualAsksTheBrowser();
    void placementRestoredAtLoad_data();
    void placementRestoredAtLoad();
    void placementSavedAtUnload_data();
    void placementSavedAtUnload();
    void manualFailureIsReported();
};

void tst_frmMain::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("Label3") << "Label3"
                            << "" << QRect(1680, 360, 5055, 375);
    QTest::newRow("Label1") << "Label1" << u"検索フォルダ"_s << QRect(360, 480, 1095, 255);
    QTest::newRow("Label4") << "Label4"
                            << "" << QRect(1680, 840, 5055, 375);
    QTest::newRow("Label2") << "Label2" << u"作業フォルダ"_s << QRect(360, 960, 1215, 255);
    QTest::newRow("Command3") << "Command3" << u"環境設定"_s << QRect(5400, 1440, 1335, 495);
    QTest::newRow("Command1") << "Command1" << u"テーブル一覧"_s << QRect(5400, 2040, 1335, 495);
    QTest::newRow("Command2") << "Command2" << u"処理開始"_s << QRect(5400, 2640, 1335, 495);
    QTest::newRow("Label5") << "Label5" << u"処理中"_s << QRect(4080, 2760, 1095, 375);
    QTest::newRow("lblLabels(0)") << "lblLabels(0)" << u"検索ファイル"_s << QRect(240, 3480, 1575, 255);
    QTest::newRow("lblLabels(1)") << "lblLabels(1)" << u"プログラムまたはバッチファイル"_s
                                  << QRect(2520, 3480, 2535, 255);
    QTest::newRow("txtFields(0)") << "txtFields(0)"
                                  << "*.csv" << QRect(120, 3720, 2175, 285);
    QTest::newRow("txtFields(1)") << "txtFields(1)"
                                  << "prog-csv" << QRect(2280, 3720, 4455, 285);
    QTest::newRow("datPrimaryRS") << "datPrimaryRS"
                                  << "" << QRect(120, 4080, 1200, 360);
}

void tst_frmMain::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    MainWindowFixture f;
    QWidget *widget = f.find<QWidget>(name);
    QCOMPARE(widget->geometry(), Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    if (auto *label = qobject_cast<QLabel *>(widget); label && !caption.isEmpty()) {
        QCOMPARE(label->text(), caption);
    } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QCOMPARE(button->text(), caption);
    } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        QCOMPARE(edit->text(), caption);
    }
}

void tst_frmMain::stateAtLoad()
{
    MainWindowFixture f;
    QCOMPARE(f.window->windowTitle(), u"Fenlow"_s);
    QVERIFY(!f.window->windowIcon().isNull());
    QCOMPARE(f.find<QLabel>(u"Label3"_s)->text(), f.search);
    QCOMPARE(f.find<QLabel>(u"Label4"_s)->text(), f.work);
    QVERIFY(f.button("Command2")->isEnabled());
    QVERIFY(!f.button("Command2")->isDefault());
    QVERIFY(f.find<QLabel>(u"Label5"_s)->isHidden());
    QVERIFY(f.find<QLabel>(u"Label5"_s)->font().bold());
    QVERIFY(!f.find<QTimer>(u"Timer1"_s)->isActive());
    QCOMPARE(f.window->dataControl()->Caption(), u" "_s);
    QVERIFY(!f.find<QLineEdit>(u"txtFields(0)"_s)->isReadOnly());

    f.window->Show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QVERIFY(f.find<QLabel>(u"Label5"_s)->isHidden());
    auto *status = f.find<QStatusBar>(u"sbStatusBar"_s);
    QCOMPARE(status->width(), f.window->width());
    QCOMPARE(status->geometry().bottom(), f.window->rect().bottom());
    QCOMPARE(f.find<QLabel>(u"Panel1"_s)->text(), u"ｽﾃｰﾀｽ"_s);
    QVERIFY(f.find<QLabel>(u"Panel3"_s)->width() >= Twips::toPixels(1440));
    // Date and time are the program's clock, read again at the bar's tick: midnight passes.
    f.clock.set(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    f.find<StatusPanels>(u"sbStatusBar"_s)->showNow();
    f.clock.set(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)));
    f.find<StatusPanels>(u"sbStatusBar"_s)->showNow();
    QCOMPARE(f.find<QLabel>(u"Panel2"_s)->text(), QLocale::system().toString(QDate(2027, 1, 1), QLocale::ShortFormat));
    QCOMPARE(f.find<QLabel>(u"Panel3"_s)->text(), QLocale::system().toString(QTime(0, 0), QLocale::ShortFormat));
    QCOMPARE(f.window->centralWidget()->width(), f.window->width());
}

void tst_frmMain::menus()
{
    MainWindowFixture f;
    const QList<QPair<QString, QString>> expected{
        {u"mnuFile"_s, u"ﾌｧｲﾙ(&F)"_s},
        {u"mnuData"_s, u"ﾃﾞｰﾀ(&D)"_s},
        {u"mnuHelp"_s, u"ﾍﾙﾌﾟ(&H)"_s},
    };
    const QList<QAction *> menuActions = f.window->menuBar()->actions();
    QCOMPARE(menuActions.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(menuActions[i]->menu()->objectName(), expected[i].first);
        QCOMPARE(menuActions[i]->text(), expected[i].second);
    }
    QCOMPARE(f.find<QAction>(u"mnuFileExit"_s)->text(), u"終了(&X)"_s);
    QCOMPARE(f.find<QAction>(u"mnuDatafrmDBTable"_s)->text(), u"frmDBTable"_s);
    QCOMPARE(f.find<QAction>(u"mnuDataHistory"_s)->text(), u"処理履歴(&L)"_s);
    QCOMPARE(f.find<QMenu>(u"mnuData"_s)->actions().size(), 2);
    QCOMPARE(f.find<QAction>(u"mnyHelpDetel"_s)->text(), u"ﾏﾆｭｱﾙ"_s);

    f.window->Show();
    f.find<QAction>(u"mnuFileExit"_s)->trigger();
    QVERIFY(!f.window->isVisible());
}

void tst_frmMain::tabOrder()
{
    MainWindowFixture f;
    f.window->Show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.button("Command1")->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(order, (QStringList{"Command1", "Command2", "txtFields(0)", "txtFields(1)", "Command3", "Command1"}));
}

void tst_frmMain::enterOnAFocusedButtonClicksIt_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("テーブル一覧") << "Command1";
    QTest::newRow("処理開始") << "Command2";
    QTest::newRow("環境設定") << "Command3";
}

void tst_frmMain::enterOnAFocusedButtonClicksIt()
{
    QFETCH(QString, name);
    MainWindowFixture f;
    auto *button = f.find<QPushButton>(name);
    QSignalSpy clicked(button, &QPushButton::clicked);
    // "環境設定" opens its dialog modal: close it once it is open.
    QTimer::singleShot(0, [&f] {
        if (auto *dialog = f.window->findChild<QWidget *>(u"frmCTL"_s)) {
            dialog->close();
        }
    });
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    QCOMPARE(clicked.size(), 1);

    // Enter in a text box still does nothing.
    auto *pattern = f.find<QLineEdit>(u"txtFields(0)"_s);
    const QString before = pattern->text();
    pattern->setFocus();
    QTest::keyClick(pattern, Qt::Key_Return);
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(pattern->text(), before);
}

void tst_frmMain::switchOnAndOff()
{
    MainWindowFixture f;
    auto *timer = f.find<QTimer>(u"Timer1"_s);
    auto *marker = f.find<QLabel>(u"Label5"_s);

    f.click("Command2");
    QCOMPARE(f.button("Command2")->text(), u"処理停止"_s);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    QCOMPARE(f.window->LastTickSecond(), qint16(-1));
    QVERIFY(marker->isHidden()); // switching on shows nothing until the first tick

    f.tickAt(20);
    QVERIFY(!marker->isHidden());
    f.click("Command2");
    QCOMPARE(f.button("Command2")->text(), u"処理開始"_s);
    QVERIFY(!timer->isActive());
    QVERIFY(marker->isHidden());

    // A tick that still arrives after switching off records the second and re-arms the
    // timer, and touches neither the marker nor the folders.
    f.drop({u"a.txt"_s});
    f.tickAt(58);
    f.tickAt(2);
    QVERIFY(marker->isHidden());
    QCOMPARE(f.window->LastTickSecond(), qint16(2));
    QVERIFY(timer->isActive());
    QVERIFY(f.launcher.launched.isEmpty());

    f.click("Command2");
    QCOMPARE(f.window->LastTickSecond(), qint16(-1));
}

void tst_frmMain::markerBlinksBySecond()
{
    MainWindowFixture f;
    auto *marker = f.find<QLabel>(u"Label5"_s);
    f.click("Command2");
    for (int second : {10, 11, 12, 13, 0}) {
        f.tickAt(second);
        QCOMPARE(marker->isHidden(), second % 2 == 1);
    }
}

void tst_frmMain::passAtTheMinuteMovesFiles()
{
    MainWindowFixture f;
    f.drop({u"a.txt"_s, u"b.csv"_s, u"c.bin"_s});
    f.click("Command2");
    f.tickAt(57);
    f.tickAt(58);
    f.tickAt(59);
    QCOMPARE(entries(f.work), QStringList{});
    f.tickAt(0);
    QCOMPARE(entries(f.work), (QStringList{u"a.txt"_s, u"b.csv"_s}));
    QCOMPARE(entries(f.search), QStringList{u"c.bin"_s});
    QStringList launched = f.launcher.launched;
    launched.sort();
    QCOMPARE(launched, (QStringList{u"prog-csv"_s, u"prog-text"_s}));
    // The pass leaves the cursor, and so the text boxes, on the last rule.
    QCOMPARE(f.find<QLineEdit>(u"txtFields(0)"_s)->text(), u"*.txt"_s);
    QCOMPARE(f.window->LastTickSecond(), qint16(0));
    QVERIFY(f.messages.reports.isEmpty());
}

void tst_frmMain::typedRuleReachesTheNextPassAndTheTable()
{
    MainWindowFixture f;
    f.drop({u"a.csv"_s});
    auto *program = f.find<QLineEdit>(u"txtFields(1)"_s);
    QCOMPARE(program->text(), u"prog-csv"_s);
    program->selectAll();
    QTest::keyClicks(program, u"prog-new"_s);

    f.click("Command2");
    f.passAtTheNextMinute();
    QCOMPARE(f.launcher.launched, QStringList{u"prog-new"_s});
    const auto rules = f.storedRules();
    QCOMPARE(rules[1].second.toString(), u"prog-new"_s);
}

void tst_frmMain::navigationStopsAtTheEnds()
{
    MainWindowFixture f({{text("a"), text("1")}, {text("b"), text("2")}, {text("c"), text("3")}});
    auto *pattern = f.find<QLineEdit>(u"txtFields(0)"_s);
    const auto press = [&](const char *name) {
        QTest::mouseClick(f.find<QToolButton>(QLatin1String(name)), Qt::LeftButton);
        return pattern->text();
    };
    QCOMPARE(press("btnPrevious"), u"a"_s);
    QCOMPARE(press("btnNext"), u"b"_s);
    QCOMPARE(press("btnLast"), u"c"_s);
    QCOMPARE(press("btnNext"), u"c"_s);
    QCOMPARE(press("btnFirst"), u"a"_s);

    // A value typed in and passed by with the next button is stored.
    auto *program = f.find<QLineEdit>(u"txtFields(1)"_s);
    program->selectAll();
    QTest::keyClicks(program, u"/opt/new"_s);
    press("btnNext");
    QCOMPARE(f.storedRules()[0].second.toString(), u"/opt/new"_s);
    QVERIFY(f.messages.shown.isEmpty());

    // A write the table refuses on leaving the row is the control's own box, also while
    // something else listens to its Error notification.
    QSignalSpy errors(f.window->dataControl(), &DataControl::Error);
    program->selectAll();
    QTest::keyClicks(program, u"/opt/newer"_s);
    TestFolders::execute(f.database, u"delete from FileList"_s);
    press("btnNext");
    QCOMPARE(errors.size(), 1);
    QCOMPARE(f.messages.shown, QStringList{errors[0][0].toString()});
}

void tst_frmMain::refusedRuleWriteDuringAPassDoesNotBlock()
{
    MainWindowFixture f;
    auto *program = f.find<QLineEdit>(u"txtFields(1)"_s);
    program->selectAll();
    QTest::keyClicks(program, u"prog-typed"_s);
    // Another window deletes the rule the operator is editing.
    TestFolders::execute(f.database, u"delete from FileList"_s);
    f.drop({u"a.csv"_s});
    f.click("Command2");
    f.passAtTheNextMinute();
    QVERIFY(f.messages.shown.isEmpty()); // a tick never waits on the operator
    QCOMPARE(f.messages.reports.size(), 1);
    QCOMPARE(f.launcher.launched, QStringList{u"prog-typed"_s});
}

void tst_frmMain::passFailuresReportedWithoutStopping()
{
    MainWindowFixture f;
    f.launcher.problems.insert(u"prog-text"_s, u"プログラム prog-text が見つかりません"_s);
    f.drop({u"a.txt"_s, u"b.csv"_s});
    f.click("Command2");
    f.passAtTheNextMinute();
    QCOMPARE(f.messages.reports.size(), 1);
    QVERIFY(f.messages.reports[0].contains(u"prog-text が見つかりません"_s));
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(entries(f.search), QStringList{u"a.txt"_s});
    QCOMPARE(f.button("Command2")->text(), u"処理停止"_s);
    QVERIFY(f.find<QTimer>(u"Timer1"_s)->isActive());
}

void tst_frmMain::repeatedProblemsRaiseTheReportOnce()
{
    MainWindowFixture f;
    f.launcher.problems.insert(u"prog-text"_s, u"not found"_s);
    f.drop({u"a.txt"_s});
    f.click("Command2");
    const auto minute = [&f] { f.passAtTheNextMinute(); };
    minute();
    minute();
    QCOMPARE(f.messages.reports.size(), 1);
    QCOMPARE(f.messages.quietUpdates, f.messages.reports);

    // Identical folders: reported at the first pass that meets them, then no more.
    f.window->setWorkFolderDisplay(f.search);
    minute();
    minute();
    QCOMPARE(f.messages.reports.size(), 2);
    QVERIFY(f.messages.reports[1].contains(u"同じフォルダ"_s));
    QCOMPARE(f.messages.quietUpdates.size(), 1);
    QVERIFY(f.messages.shown.isEmpty());
}

void tst_frmMain::statusPanelTellsTheLastPass()
{
    MainWindowFixture f;
    auto *panel = f.find<QLabel>(u"Panel1"_s);
    QCOMPARE(panel->text(), u"ｽﾃｰﾀｽ"_s);
    f.launcher.problems.insert(u"prog-csv"_s, u"not found"_s);
    f.drop({u"a.txt"_s, u"b.txt"_s, u"c.csv"_s});
    // b.txt was written at the minute the pass runs: it waits.
    QFile written(f.search + u"/b.txt"_s);
    QVERIFY(written.open(QIODevice::ReadWrite));
    QVERIFY(written.setFileTime(QDateTime(f.clock.now().date(), QTime(10, 15, 0)), QFileDevice::FileModificationTime));
    written.close();
    f.click("Command2");
    QCOMPARE(panel->text(), u"ｽﾃｰﾀｽ"_s); // until the first pass
    f.passAtTheNextMinute();
    QCOMPARE(panel->text(), u"10:15 移動 1 件・起動 1 回・待機 1 件・問題 1 件"_s);
    QStringList files = panel->toolTip().split(u'\n'); // in the folder's own order
    files.sort();
    QCOMPARE(files, (QStringList{u"待機 b.txt"_s, u"移動 a.txt"_s}));
    f.click("Command2");
    QCOMPARE(panel->text(), u"10:15 移動 1 件・起動 1 回・待機 1 件・問題 1 件　停止中"_s);
    f.click("Command2");
    QCOMPARE(panel->text(), u"10:15 移動 1 件・起動 1 回・待機 1 件・問題 1 件"_s);
}

void tst_frmMain::statusPanelTellsOfRulesChangedInAnEditor()
{
    MainWindowFixture f;
    auto *panel = f.find<QLabel>(u"Panel1"_s);
    QTest::mouseClick(f.button("Command1"), Qt::LeftButton);
    auto *editor = f.windows.at(f.windows.count() - 1);
    QCOMPARE(panel->text(), u"ｽﾃｰﾀｽ"_s); // opening changes nothing
    QTest::mouseClick(editor->findChild<QPushButton *>(u"cmdDelete"_s), Qt::LeftButton);
    QCOMPARE(panel->text(), u"規則の変更は再起動後に反映されます"_s);
    f.click("Command2");
    f.passAtTheNextMinute();
    QCOMPARE(panel->text(), u"10:15 移動 0 件・起動 0 回　規則の変更は再起動後に反映されます"_s);
}

void tst_frmMain::missingFolderReportedOnceUntilTheFoldersChange()
{
    MainWindowFixture f;
    f.window->setSearchFolderDisplay(f.dir.filePath(u"gone"_s));
    f.click("Command2");
    f.passAtTheNextMinute();
    f.passAtTheNextMinute();
    QCOMPARE(f.messages.reports.size(), 1);
    QVERIFY(f.messages.reports[0].contains(f.dir.filePath(u"gone"_s)));
    // Other folders, missing too: told again; then the same ones: not.
    f.window->setWorkFolderDisplay(f.dir.filePath(u"also-gone"_s));
    f.window->setSearchFolderDisplay(f.search);
    f.passAtTheNextMinute();
    f.passAtTheNextMinute();
    QCOMPARE(f.messages.reports.size(), 2);
    QVERIFY(f.messages.reports[1].contains(f.dir.filePath(u"also-gone"_s)));
    QVERIFY(f.messages.quietUpdates.isEmpty());
}

void tst_frmMain::historyWindowListsEveryFileNewestFirst()
{
    MainWindowFixture f;
    f.drop({u"a.txt"_s});
    f.click("Command2");
    f.passAtTheNextMinute();
    f.find<QAction>(u"mnuDataHistory"_s)->trigger();
    auto *history = qobject_cast<QWidget *>(f.windows.at(f.windows.count() - 1));
    QCOMPARE(history->objectName(), u"HistoryWindow"_s);
    QCOMPARE(history->windowTitle(), u"処理履歴"_s);
    auto *view = history->findChild<QTableView *>(u"historyView"_s);
    const auto rows = [view] {
        QStringList shown;
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            shown.append(view->model()->index(row, 1).data().toString() + u' '
                         + view->model()->index(row, 3).data().toString().section(u' ', 0, 0));
        }
        return shown;
    };
    QCOMPARE(rows(), (QStringList{u"a.txt 起動"_s, u"a.txt 移動"_s}));
    QCOMPARE(view->model()->index(0, 2).data().toString(), u"*.txt"_s);

    // Refreshed after each pass; the box filters by file name.
    f.drop({u"b.csv"_s});
    f.passAtTheNextMinute();
    QCOMPARE(rows(), (QStringList{u"b.csv 起動"_s, u"b.csv 移動"_s, u"a.txt 起動"_s, u"a.txt 移動"_s}));
    auto *filter = history->findChild<QLineEdit *>(u"fileFilter"_s);
    QTest::keyClicks(filter, u"A.T"_s);
    QCOMPARE(rows(), (QStringList{u"a.txt 起動"_s, u"a.txt 移動"_s}));
    QVERIFY(f.messages.shown.isEmpty() && f.messages.reports.isEmpty());
}

void tst_frmMain::historyThatCannotBeWrittenIsToldOnce()
{
    MainWindowFixture f;
    QVERIFY(QDir().mkdir(f.dir.filePath(History::FileName))); // a folder where the history should be
    f.drop({u"a.txt"_s});
    f.click("Command2");
    f.passAtTheNextMinute();
    QCOMPARE(f.messages.reports.size(), 1);
    QVERIFY(f.messages.reports[0].contains(History::FileName));
    QCOMPARE(entries(f.work), QStringList{u"a.txt"_s}); // the pass went on all the same
    f.drop({u"b.txt"_s});
    f.passAtTheNextMinute();
    QCOMPARE(f.messages.reports.size(), 1);
    QCOMPARE(entries(f.work), (QStringList{u"a.txt"_s, u"b.txt"_s}));
}

void tst_frmMain::missingDatabaseReportedAtLoad()
{
    MainWindowFixture f({}, false);
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY(f.messages.shown[0].contains(u"AttFile.mdb"_s));
    f.window->Show();
    QVERIFY(f.window->isVisible());
    QVERIFY(f.find<QLineEdit>(u"txtFields(0)"_s)->isReadOnly());
    f.drop({u"a.txt"_s});
    f.click("Command2");
    f.passAtTheNextMinute();
    QCOMPARE(entries(f.search), QStringList{u"a.txt"_s});
    QVERIFY(f.messages.reports.isEmpty());
}

void tst_frmMain::unloadClosesOtherWindowsNewestFirst()
{
    MainWindowFixture f;
    f.window->Show();
    CloseRecorder recorder;
    f.click("Command1");
    f.find<QAction>(u"mnuDatafrmDBTable"_s)->trigger();
    f.click("Command1");
    QCOMPARE(f.windows.count(), 4);
    for (int i = 1; i < 4; ++i) {
        QWidget *editor = f.windows.at(i);
        QCOMPARE(editor->windowTitle(), u"FileList"_s);
        QVERIFY(editor->isVisible());
        editor->setProperty("label", QString::number(i));
        editor->installEventFilter(&recorder);
    }
    f.window->Unload();
    QCOMPARE(recorder.closed, (QStringList{"3", "2", "1"}));
    QVERIFY(!f.window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(f.windows.count(), 1);
}

void tst_frmMain::unloadOfAWindowNeverShown()
{
    MainWindowFixture f;
    f.find<QAction>(u"mnuDatafrmDBTable"_s)->trigger();
    QPointer<QWidget> editor = f.windows.at(1);
    f.window->Unload();
    QVERIFY(!editor->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(editor.isNull());
}

void tst_frmMain::manualAsksTheBrowser()
{
    MainWindowFixture f;
    // The program folder's own copy when it has one, else the installed one.
    f.find<QAction>(u"mnyHelpDetel"_s)->trigger();
    const QString page = f.dir.path() + u"/Fenguide.htm"_s;
    TestFolders::writeFile(page, "<html></html>");
    f.find<QAction>(u"mnyHelpDetel"_s)->trigger();
    f.find<QAction>(u"mnyHelpDetel"_s)->trigger();
    QCOMPARE(f.browser.opened, (QStringList{f.programFolder.installedManualPath, page, page}));
    QVERIFY(f.messages.shown.isEmpty());
}

void tst_frmMain::manualFailureIsReported()
{
    MainWindowFixture f;
    f.browser.failure = u"no browser"_s;
    f.find<QAction>(u"mnyHelpDetel"_s)->trigger();
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY(f.messages.shown[0].contains(u"Fenguide.htm"_s));
    QVERIFY(f.messages.shown[0].contains(u"no browser"_s));
}

void tst_frmMain::placementRestoredAtLoad_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("defaults") << QStringList{} << QRect(1000, 1000, 6500, 6500);
    QTest::newRow("stored") << QStringList{"MainLeft=1500", "MainTop=450", "MainWidth=9000", "MainHeight=7500"}
                            << QRect(1500, 450, 9000, 7500);
    QTest::newRow("only the width") << QStringList{"MainWidth=8100"} << QRect(1000, 1000, 8100, 6500);
    QTest::newRow("not a number") << QStringList{"MainTop=top", "MainHeight=4800"} << QRect(1000, 1000, 6500, 4800);
}

void tst_frmMain::placementRestoredAtLoad()
{
    QFETCH(QStringList, entries);
    QFETCH(QRect, twips);
    QHash<QString, QString> stored;
    for (const QString &entry : entries) {
        stored.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    }
    MainWindowFixture f({}, true, stored);
    const QRect expected = Twips::rect(twips.x(), twips.y(), twips.width(), twips.height());
    f.window->Show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QCOMPARE(f.window->frameGeometry(), expected);
    QCOMPARE(f.window->windowState(), Qt::WindowNoState);
    QVERIFY(f.settings.written.isEmpty());
}

void tst_frmMain::placementSavedAtUnload_data()
{
    QTest::addColumn<Qt::WindowState>("state");
    QTest::newRow("normal, moved and sized") << Qt::WindowNoState;
    QTest::newRow("maximised") << Qt::WindowMaximized;
    QTest::newRow("minimised: nothing written") << Qt::WindowMinimized;
}

void tst_frmMain::placementSavedAtUnload()
{
    QFETCH(Qt::WindowState, state);
    MainWindowFixture f;
    f.window->Show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->move(Twips::toPixels(2100), Twips::toPixels(1200));
    f.window->resize(Twips::size(7200, 6000));
    f.window->setWindowState(state);
    QTRY_COMPARE(f.window->windowState(), state);
    const QRect outer = f.window->frameGeometry();
    f.find<QAction>(u"mnuFileExit"_s)->trigger();

    if (state == Qt::WindowMinimized) {
        QVERIFY(f.settings.written.isEmpty());
        return;
    }
    QCOMPARE(f.settings.written, (QStringList{"MainLeft", "MainTop", "MainWidth", "MainHeight"}));
    QCOMPARE(f.settings.entries.value(u"MainLeft"_s), QString::number(Twips::fromPixels(outer.x())));
    QCOMPARE(f.settings.entries.value(u"MainTop"_s), QString::number(Twips::fromPixels(outer.y())));
    QCOMPARE(f.settings.entries.value(u"MainWidth"_s), QString::number(Twips::fromPixels(outer.width())));
    QCOMPARE(f.settings.entries.value(u"MainHeight"_s), QString::number(Twips::fromPixels(outer.height())));
    if (state == Qt::WindowNoState) {
        QCOMPARE(f.settings.entries.value(u"MainLeft"_s), u"2100"_s);
        QCOMPARE(f.settings.entries.value(u"MainTop"_s), u"1200"_s);
    }
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
