#include "support/mainwindowfixture.h"
#include "support/testfolders.h"
#include "ui/datacontrol.h"
#include "ui/frmdbtable.h"
#include "ui/twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Types as a keyboard does: every key goes to whatever has the focus at that moment.
void type(const QString &text)
{
    for (QChar c : text) {
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// An editor opened from the main window of a fixture, as the operator opens it.
struct Editor {
    explicit Editor(MainWindowFixture &f)
    {
        QTest::mouseClick(f.button("Command1"), Qt::LeftButton);
        window = qobject_cast<frmDBTable *>(f.windows.at(f.windows.count() - 1));
        grid = window->findChild<QTableView *>(u"grdDataGrid"_s);
    }
    QPushButton *button(const char *name) const { return window->findChild<QPushButton *>(QLatin1String(name)); }
    void click(const char *name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    QStringList column(int column) const
    {
        QStringList cells;
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            cells.append(grid->model()->index(row, column).data().toString());
        }
        return cells;
    }
    // The grid's rule rows as (pattern, program), without the new-row line.
    QList<QStringList> rules() const
    {
        QList<QStringList> rows;
        for (int row = 0; row + 1 < grid->model()->rowCount(); ++row) {
            rows.append(
                {grid->model()->index(row, 0).data().toString(), grid->model()->index(row, 1).data().toString()});
        }
        return rows;
    }
    QString caption() const { return window->dataControl()->Caption(); }
    int currentRow() const { return grid->currentIndex().row(); }
    void activate() const
    {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    QPointer<frmDBTable> window;
    QTableView *grid = nullptr;
};

// The table's rules as (pattern, program) in FileName order, as an editor opened now shows them.
QList<QStringList> tableRules(const MainWindowFixture &f)
{
    QList<QStringList> rules;
    for (const auto &rule : f.storedRules()) {
        rules.append({rule.first.toString(), rule.second.toString()});
    }
    std::sort(rules.begin(), rules.end());
    return rules;
}

const Rules kThreeRules{{text("b*"), text("prog-b")}, {text("a*"), text("prog-a")}, {text("c*"), text("prog-c")}};

} // namespace

class tst_frmDBTable : public QObject {
    Q_OBJECT
private slots:
    void layoutAndOpening();
    void eachEditorHasItsOwnCopy();
    void captionFollowsTheCursor();
    void addOnATableWithRules();
    void addOnAnEmptyTable();
    void editIsWrittenWhenTheRowIsLeft();
    void deleteRule_data();
    void deleteRule();
    void deleteOnAnEmptyTable();
    void deleteKeepsTheGridEqualToTheTable_data();
    void deleteKeepsTheGridEqualToTheTable();
    void deleteARuleJustAdded();
    void navigationWritesAnOpenEditToItsOwnRow();
    void updateReportsAWriteThatLost();
    void refreshAndCloseWriteAnOpenEdit();
    void enterOnAFocusedButtonClicksIt_data();
    void enterOnAFocusedButtonClicksIt();
    void resizeRule_data();
    void resizeRule();
    void dataErrorAtOpening();
    void refreshFailureShowsTheDescriptionAlone();
    void ruleAddedInAnEditorWaitsForARestart();
};

void tst_frmDBTable::layoutAndOpening()
{
    MainWindowFixture f(kThreeRules);
    f.window->Show();
    Editor editor(f);
    QVERIFY(editor.window->isVisible());
    QCOMPARE(editor.window->windowTitle(), u"FileList"_s);
    QVERIFY(!editor.window->windowIcon().isNull());
    QVERIFY(!editor.window->parentWidget());
    QCOMPARE(editor.window->geometry(), Twips::rect(1110, 345, 7485, 4890));

    QCOMPARE(editor.grid->model()->headerData(0, Qt::Horizontal).toString(), u"検索ファイル名"_s);
    QCOMPARE(editor.grid->model()->headerData(1, Qt::Horizontal).toString(), u"処理バッチファイルまたはプログラム"_s);
    QCOMPARE(editor.grid->columnWidth(0), Twips::toPixels(2009.76));
    QCOMPARE(editor.grid->columnWidth(1), Twips::toPixels(5009.95));
    QCOMPARE(editor.grid->geometry(), Twips::rect(0, 0, 7485, 4200));
    QCOMPARE(editor.window->dataControl()->geometry(), Twips::rect(0, 4200, 1200, 360));
    QCOMPARE(editor.window->findChild<QWidget *>(u"picButtons"_s)->geometry(), Twips::rect(0, 4590, 7485, 300));
    QCOMPARE(editor.column(0), (QStringList{"a*", "b*", "c*", ""}));
    QCOMPARE(editor.grid->model()->headerData(3, Qt::Vertical).toString(), u"*"_s);

    const QList<std::tuple<const char *, QString, int>> buttons{{"cmdAdd", u"追加(&A)"_s, 1320},
                                                                {"cmdUpdate", u"更新(&U)"_s, 2520},
                                                                {"cmdDelete", u"削除(&D)"_s, 3720},
                                                                {"cmdRefresh", u"再表示(&R)"_s, 4920},
                                                                {"cmdClose", u"閉じる(&C)"_s, 6120}};
    for (const auto &[name, caption, left] : buttons) {
        QCOMPARE(editor.button(name)->text(), caption);
        QCOMPARE(editor.button(name)->geometry(), Twips::rect(left, 0, 1095, 300));
    }

    // Tab order: grid, then the buttons left to right.
    editor.activate();
    editor.grid->setFocus();
    QStringList order;
    for (int i = 0; i < 6; ++i) {
        press(Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(order, (QStringList{"cmdAdd", "cmdUpdate", "cmdDelete", "cmdRefresh", "cmdClose", "grdDataGrid"}));

    // The access key closes it (a button pressed by its key shows itself pressed for a moment
    // first), and the screen-wide pointer is reset.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    press(Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(!editor.window || !editor.window->isVisible());
    QVERIFY(!QApplication::overrideCursor());
}

void tst_frmDBTable::eachEditorHasItsOwnCopy()
{
    MainWindowFixture f(kThreeRules);
    Editor first(f);
    Editor second(f);
    Editor third(f);
    QCOMPARE(third.window->geometry(), first.window->geometry());

    first.grid->setCurrentIndex(first.grid->model()->index(1, 0));
    first.click("cmdDelete");
    QCOMPARE(f.storedPatterns(), (QStringList{"a*", "c*"}));
    QCOMPARE(first.column(0), (QStringList{"a*", "c*", ""}));
    QCOMPARE(second.column(0), (QStringList{"a*", "b*", "c*", ""}));
    second.click("cmdRefresh");
    QCOMPARE(second.column(0), (QStringList{"a*", "c*", ""}));
    QCOMPARE(third.column(0), (QStringList{"a*", "b*", "c*", ""}));
}

void tst_frmDBTable::captionFollowsTheCursor()
{
    MainWindowFixture f(kThreeRules);
    Editor editor(f);
    QCOMPARE(editor.caption(), u"Record: 1"_s);
    editor.grid->setCurrentIndex(editor.grid->model()->index(2, 1));
    QCOMPARE(editor.caption(), u"Record: 3"_s);
    QTest::mouseClick(editor.window->dataControl()->findChild<QToolButton *>(u"btnPrevious"_s), Qt::LeftButton);
    QCOMPARE(editor.caption(), u"Record: 2"_s);
    QCOMPARE(editor.currentRow(), 1);
    editor.grid->setCurrentIndex(editor.grid->model()->index(3, 0)); // the new-row line
    QCOMPARE(editor.caption(), u"Record: -3"_s);
}

void tst_frmDBTable::addOnATableWithRules()
{
    MainWindowFixture f(kThreeRules);
    Editor editor(f);
    editor.activate();
    editor.click("cmdAdd");
    QCOMPARE(editor.caption(), u"Record: 3"_s);
    QCOMPARE(QApplication::focusWidget(), editor.grid);
    QCoreApplication::processEvents(); // the queued Down key
    QCOMPARE(editor.currentRow(), 3);

    type(u"0*"_s);
    press(Qt::Key_Tab);
    type(u"prog-0"_s);
    press(Qt::Key_Return);
    QCOMPARE(editor.column(0), (QStringList{"a*", "b*", "c*", "0*", ""}));
    QCOMPARE(f.storedPatterns(), (QStringList{"a*", "b*", "c*"})); // not written before the row is left
    press(Qt::Key_Up);
    QCOMPARE(f.storedPatterns(), (QStringList{"0*", "a*", "b*", "c*"}));
    const Rules rules = f.storedRules();
    QCOMPARE(rules.last().second.toString(), u"prog-0"_s);
    // Below the others until shown again, then in its place.
    editor.click("cmdRefresh");
    QCOMPARE(editor.column(0), (QStringList{"0*", "a*", "b*", "c*", ""}));
    QCOMPARE(editor.caption(), u"Record: 1"_s);
    QVERIFY(f.messages.shown.isEmpty());
}

void tst_frmDBTable::addOnAnEmptyTable()
{
    MainWindowFixture f(Rules{});
    Editor editor(f);
    editor.activate();
    editor.click("cmdAdd");
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY(!f.messages.shown[0].startsWith(QLatin1String("Data error")));
    editor.grid->setFocus();
    editor.grid->setCurrentIndex(editor.grid->model()->index(0, 0));
    type(u"*.csv"_s);
    press(Qt::Key_Tab);
    type(u"import"_s);
    press(Qt::Key_Return);
    editor.click("cmdUpdate");
    QCOMPARE(f.storedPatterns(), QStringList{u"*.csv"_s});
    QCOMPARE(f.messages.shown.size(), 1);
}

void tst_frmDBTable::editIsWrittenWhenTheRowIsLeft()
{
    MainWindowFixture f(kThreeRules);
    Editor editor(f);
    Editor other(f);
    editor.activate();
    editor.grid->setFocus();
    editor.grid->setCurrentIndex(editor.grid->model()->index(1, 1));
    press(Qt::Key_F2);
    press(Qt::Key_End);
    type(u"-2"_s);
    press(Qt::Key_Return);
    QCOMPARE(f.storedRules()[0].second.toString(), u"prog-b"_s);
    press(Qt::Key_Down);
    QCOMPARE(f.storedRules()[0].second.toString(), u"prog-b-2"_s);
    QCOMPARE(other.column(1)[1], u"prog-b"_s);
}

void tst_frmDBTable::deleteRule_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<int>("messages");
    QTest::newRow("in the middle: the next rule is current") << 1 << QStringList{"a*", "c*"} << "Record: 2" << 1 << 0;
    QTest::newRow("the last: the new last rule is current") << 2 << QStringList{"a*", "b*"} << "Record: 2" << 1 << 0;
}

void tst_frmDBTable::deleteRule()
{
    QFETCH(int, row);
    QFETCH(QStringList, left);
    QFETCH(QString, caption);
    QFETCH(int, currentRow);
    QFETCH(int, messages);
    MainWindowFixture f(kThreeRules);
    Editor editor(f);
    editor.grid->setCurrentIndex(editor.grid->model()->index(row, 0));
    editor.click("cmdDelete");
    QCOMPARE(f.storedPatterns(), left);
    QCOMPARE(editor.caption(), caption);
    QCOMPARE(editor.currentRow(), currentRow);
    QCOMPARE(f.messages.shown.size(), messages);
}

void tst_frmDBTable::deleteOnAnEmptyTable()
{
    MainWindowFixture f({{text("only"), text("prog")}});
    Editor editor(f);
    // The only rule: deleted, and the editor simply shows the new-row line, with no message.
    editor.click("cmdDelete");
    QVERIFY(f.storedPatterns().isEmpty());
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(editor.column(0), QStringList{QString()});
    // And once more on the empty table: the store's description, nothing changes.
    editor.click("cmdDelete");
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY(!f.messages.shown[0].startsWith(QLatin1String("Data error")));
}

void tst_frmDBTable::deleteKeepsTheGridEqualToTheTable_data()
{
    QTest::addColumn<Rules>("rules");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("cellBeingEdited");
    QTest::addColumn<int>("currentAfter"); // the grid's row; the new-row line when the table is empty
    for (bool editing : {false, true}) {
        const char *how = editing ? ", a cell being edited" : "";
        QTest::addRow("first%s", how) << kThreeRules << 0 << editing << 0;
        QTest::addRow("middle%s", how) << kThreeRules << 1 << editing << 1;
        QTest::addRow("last%s", how) << kThreeRules << 2 << editing << 1;
        QTest::addRow("only%s", how) << Rules{{text("only"), text("prog")}} << 0 << editing << 0;
    }
}

void tst_frmDBTable::deleteKeepsTheGridEqualToTheTable()
{
    QFETCH(Rules, rules);
    QFETCH(int, row);
    QFETCH(bool, cellBeingEdited);
    QFETCH(int, currentAfter);
    MainWindowFixture f(rules);
    Editor editor(f);
    editor.activate();
    editor.grid->setFocus();
    editor.grid->setCurrentIndex(editor.grid->model()->index(row, 1));
    if (cellBeingEdited) {
        press(Qt::Key_F2);
        type(u"-typed"_s);
    }

    editor.click("cmdDelete");
    QCOMPARE(editor.rules(), tableRules(f));
    QCOMPARE(editor.rules().size(), rules.size() - 1);
    QCOMPARE(editor.currentRow(), currentAfter);
    // Whatever is current now can be deleted in its turn, until the table is empty.
    while (!tableRules(f).isEmpty()) {
        editor.click("cmdDelete");
        QCOMPARE(editor.rules(), tableRules(f));
    }
    QCOMPARE(editor.currentRow(), 0); // the new-row line
    QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.shown.join(u'\n')));

    editor.window->close();
    f.window->close();
    QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.shown.join(u'\n')));
    // Nothing is left open that would keep the program from ending.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    }
}

void tst_frmDBTable::deleteARuleJustAdded()
{
    MainWindowFixture f(kThreeRules);
    Editor editor(f);
    editor.activate();
    editor.grid->setFocus();
    editor.grid->setCurrentIndex(editor.grid->model()->index(3, 0)); // the new-row line
    type(u"d*"_s);
    press(Qt::Key_Tab);
    type(u"prog-d"_s);
    press(Qt::Key_Return);
    QCOMPARE(editor.currentRow(), 3); // still on the new rule, not written yet

    editor.click("cmdDelete");
    QCOMPARE(editor.rules(), tableRules(f));
    QCOMPARE(editor.currentRow(), 2);
    editor.click("cmdDelete");
    QCOMPARE(editor.rules(), tableRules(f));
    editor.window->close();
    QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.shown.join(u'\n')));
}

void tst_frmDBTable::navigationWritesAnOpenEditToItsOwnRow()
{
    MainWindowFixture f(kThreeRules);
    Editor editor(f);
    editor.activate();
    editor.grid->setFocus();
    editor.grid->setCurrentIndex(editor.grid->model()->index(0, 1));
    press(Qt::Key_F2);
    press(Qt::Key_End);
    type(u"-2"_s);
    // The data control's buttons take no focus: the cell is still being edited when the cursor moves.
    QTest::mouseClick(editor.window->dataControl()->findChild<QToolButton *>(u"btnNext"_s), Qt::LeftButton);
    QCOMPARE(editor.caption(), u"Record: 2"_s);
    QCOMPARE(editor.currentRow(), 1);
    QCOMPARE(tableRules(f)[0], (QStringList{"a*", "prog-a-2"}));
    QCOMPARE(editor.rules(), tableRules(f));
    editor.window->close();
    QCOMPARE(tableRules(f)[1], (QStringList{"b*", "prog-b"}));
    QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.shown.join(u'\n')));
}

void tst_frmDBTable::updateReportsAWriteThatLost()
{
    MainWindowFixture f(kThreeRules);
    Editor mine(f);
    Editor theirs(f);
    theirs.grid->setCurrentIndex(theirs.grid->model()->index(0, 0));
    theirs.click("cmdDelete");

    mine.grid->model()->setData(mine.grid->model()->index(0, 1), u"prog-a2"_s);
    mine.click("cmdUpdate");
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY(!f.messages.shown[0].startsWith(QLatin1String("Data error")));
    // Leaving the row tries once more, and the refusal comes as a data error.
    mine.grid->setCurrentIndex(mine.grid->model()->index(0, 1));
    mine.grid->model()->setData(mine.grid->model()->index(0, 1), u"prog-a3"_s);
    mine.grid->setCurrentIndex(mine.grid->model()->index(1, 1));
    QCOMPARE(f.messages.shown.size(), 2);
    QVERIFY(f.messages.shown[1].startsWith(QLatin1String("Data error event hit err:")));
    QVERIFY(f.messages.shown[1].size() > u"Data error event hit err:"_s.size());
    QCOMPARE(f.storedPatterns(), (QStringList{"b*", "c*"}));
}

void tst_frmDBTable::refreshAndCloseWriteAnOpenEdit()
{
    MainWindowFixture f(kThreeRules);
    Editor editor(f);
    editor.activate();
    editor.grid->setFocus();
    editor.grid->setCurrentIndex(editor.grid->model()->index(2, 0));
    press(Qt::Key_F2);
    press(Qt::Key_End);
    type(u"x"_s);
    press(Qt::Key_R, Qt::AltModifier);
    QTRY_COMPARE(f.storedPatterns(), (QStringList{"a*", "b*", "c*x"}));
    QCOMPARE(editor.column(0), (QStringList{"a*", "b*", "c*x", ""}));

    editor.grid->setFocus();
    editor.grid->setCurrentIndex(editor.grid->model()->index(0, 0));
    press(Qt::Key_F2);
    press(Qt::Key_End);
    type(u"y"_s);
    editor.window->close(); // the close box: the focus never leaves the open cell
    QCOMPARE(f.storedPatterns(), (QStringList{"a*y", "b*", "c*x"}));
    QVERIFY(f.messages.shown.isEmpty());
}

void tst_frmDBTable::enterOnAFocusedButtonClicksIt_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key");
    for (const char *name : {"cmdAdd", "cmdUpdate", "cmdDelete", "cmdRefresh", "cmdClose"}) {
        QTest::addRow("%s, Return", name) << QString::fromLatin1(name) << int(Qt::Key_Return);
        QTest::addRow("%s, keypad Enter", name) << QString::fromLatin1(name) << int(Qt::Key_Enter);
    }
}

void tst_frmDBTable::enterOnAFocusedButtonClicksIt()
{
    QFETCH(QString, name);
    QFETCH(int, key);
    MainWindowFixture f(kThreeRules);
    Editor editor(f);
    auto *button = editor.window->findChild<QPushButton *>(name);
    QSignalSpy clicked(button, &QPushButton::clicked);
    button->setFocus();
    QTest::keyClick(button, Qt::Key(key));
    QCOMPARE(clicked.size(), 1);
}

void tst_frmDBTable::resizeRule_data()
{
    QTest::addColumn<int>("innerHeight"); // twips
    QTest::addColumn<int>("gridHeight"); // twips, -1: unchanged
    QTest::newRow("layout size") << 4890 << 4200;
    QTest::newRow("taller") << 7890 << 7200;
    QTest::newRow("just the strips") << 690 << 0;
    QTest::newRow("lower than the strips") << 600 << -1;
}

void tst_frmDBTable::resizeRule()
{
    QFETCH(int, innerHeight);
    QFETCH(int, gridHeight);
    MainWindowFixture f(kThreeRules);
    Editor editor(f);
    const int before = editor.grid->height();
    editor.window->resize(Twips::size(7485, innerHeight));
    QCOMPARE(editor.grid->height(), gridHeight < 0 ? before : Twips::toPixels(gridHeight));
    auto *bar = editor.window->findChild<QWidget *>(u"picButtons"_s);
    QCOMPARE(bar->geometry().bottom(), editor.window->height() - 1);
    if (gridHeight >= 0) {
        QCOMPARE(editor.window->dataControl()->y(), editor.grid->geometry().bottom() + 1);
    }
    QVERIFY(f.messages.shown.isEmpty());

    editor.window->showMinimized();
    editor.window->showNormal();
    QVERIFY(f.messages.shown.isEmpty());
}

void tst_frmDBTable::dataErrorAtOpening()
{
    MainWindowFixture f(kThreeRules);
    QFile::remove(f.database);
    Editor editor(f);
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY(f.messages.shown[0].startsWith(QLatin1String("Data error event hit err:")));
    QVERIFY(f.messages.shown[0].contains(QLatin1String("AttFile.mdb")));
    QCOMPARE(editor.column(0), QStringList{QString()});
}

void tst_frmDBTable::refreshFailureShowsTheDescriptionAlone()
{
    MainWindowFixture f(kThreeRules);
    Editor editor(f);
    TestFolders::execute(f.database, u"drop table FileList"_s);
    editor.click("cmdRefresh");
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY2(!f.messages.shown[0].startsWith(QLatin1String("Data error")), qPrintable(f.messages.shown[0]));
    QVERIFY(f.messages.shown[0].contains(QLatin1String("FileList")));
    QCOMPARE(editor.column(0), QStringList{QString()});
}

void tst_frmDBTable::ruleAddedInAnEditorWaitsForARestart()
{
    MainWindowFixture f({{text("*.txt"), text("prog-text")}});
    f.drop({u"a.csv"_s});
    Editor editor(f);
    editor.grid->model()->setData(editor.grid->model()->index(1, 0), u"*.csv"_s);
    editor.grid->model()->setData(editor.grid->model()->index(1, 1), u"prog-csv"_s);
    editor.click("cmdUpdate");
    QCOMPARE(f.storedPatterns(), (QStringList{"*.csv", "*.txt"}));
    f.click("Command2");
    f.passAtTheNextMinute();
    QVERIFY(f.launcher.launched.isEmpty());
    QCOMPARE(TestFolders::entries(f.search), QStringList{u"a.csv"_s});
}

QTEST_MAIN(tst_frmDBTable)
#include "tst_frmdbtable.moc"
