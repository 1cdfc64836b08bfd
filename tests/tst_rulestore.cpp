#include "engine/rulestore.h"
#include "support/programfolderfixture.h"
#include "support/testfolders.h"

#include <QDir>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using TestFolders::readRules;

namespace {

// The store's whole cursor as (FileName, BatFile) rows; the cursor ends past the last row.
Rules walk(RuleStore &store)
{
    Rules rows;
    if (store.RecordCount() == 0) {
        return rows;
    }
    for (store.MoveFirst(); !store.Eof(); store.MoveNext()) {
        rows.append({store.value(RuleStore::FileName), store.value(RuleStore::BatFile)});
    }
    return rows;
}

bool sameRules(const Rules &actual, const Rules &expected)
{
    if (actual.size() != expected.size()) {
        return false;
    }
    for (qsizetype i = 0; i < actual.size(); ++i) {
        const auto same = [](const QVariant &a, const QVariant &b) {
            return a.isNull() == b.isNull() && a.toString() == b.toString();
        };
        if (!same(actual[i].first, expected[i].first) || !same(actual[i].second, expected[i].second)) {
            return false;
        }
    }
    return true;
}

template <typename Operation> QString failureOf(Operation operation)
{
    try {
        operation();
    } catch (const StoreError &error) {
        return error.description();
    }
    return {};
}

} // namespace

class tst_RuleStore : public QObject {
    Q_OBJECT
private slots:
    void init();
    void opensAllRulesInFileNameOrder();
    void cursorPositions();
    void emptyTable();
    void openFailureLeavesAnEmptyStore_data();
    void openFailureLeavesAnEmptyStore();
    void findsTheDatabaseInTheCurrentDirectory();
    void editIsWrittenWhenTheCursorLeavesTheRow();
    void updateBatchWritesEveryPendingRow();
    void writeLosesToAnotherStore_data();
    void writeLosesToAnotherStore();
    void deleteIsWrittenAtOnce_data();
    void deleteIsWrittenAtOnce();
    void deleteOfARowAnotherStoreDeletedFails();
    void newRowIsWrittenWhenLeft();
    void newRowOnAnEmptyTable();
    void refreshSeesOtherStoresChanges();
    void notifications();
    void identifiedQuery_data();
    void identifiedQuery();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void tst_RuleStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(u"AttFile.mdb"_s);
    TestFolders::createRuleDatabase(m_path,
                                    {{text("b*.txt"), text("prog-b")},
                                     {text("a*.txt"), text("prog-a")},
                                     {kNull, text("prog-null")},
                                     {text("c*.txt"), kNull}});
}

void tst_RuleStore::opensAllRulesInFileNameOrder()
{
    RuleStore store(m_path);
    store.Open();
    QVERIFY(store.isOpen());
    QCOMPARE(store.AbsolutePosition(), 1);
    QVERIFY(store.value(RuleStore::FileName).isNull());
    QVERIFY(sameRules(walk(store),
                      {{kNull, text("prog-null")},
                       {text("a*.txt"), text("prog-a")},
                       {text("b*.txt"), text("prog-b")},
                       {text("c*.txt"), kNull}}));
    store.MoveLast();
    QVERIFY(store.Fields(u"BatFile"_s).isNull());
    QCOMPARE(store.Fields(u"FileName"_s).toString(), u"c*.txt"_s);
}

void tst_RuleStore::cursorPositions()
{
    RuleStore store(m_path);
    store.Open();
    QVERIFY(!store.BOF());
    store.MoveLast();
    QCOMPARE(store.AbsolutePosition(), 4);
    store.MoveNext();
    QVERIFY(store.Eof());
    QCOMPARE(store.AbsolutePosition(), RuleStore::adPosEOF);
    QVERIFY(!failureOf([&] { store.MoveNext(); }).isEmpty());
    QVERIFY(!failureOf([&] { (void)store.value(RuleStore::FileName); }).isEmpty());
    store.MovePrevious();
    QCOMPARE(store.AbsolutePosition(), 4);
    store.MoveFirst();
    store.MovePrevious();
    QVERIFY(store.BOF());
    QCOMPARE(store.AbsolutePosition(), RuleStore::adPosBOF);
    QVERIFY(!failureOf([&] { store.MovePrevious(); }).isEmpty());
    store.MoveNext();
    QCOMPARE(store.AbsolutePosition(), 1);
    store.moveTo(2);
    QCOMPARE(store.AbsolutePosition(), 3);
    store.moveTo(4);
    QVERIFY(store.Eof());
    QVERIFY(!failureOf([&] { store.moveTo(5); }).isEmpty());
}

void tst_RuleStore::emptyTable()
{
    TestFolders::execute(m_path, u"delete from FileList"_s);
    RuleStore store(m_path);
    QSignalSpy errors(&store, &RuleStore::Error);
    store.Open();
    QVERIFY(errors.isEmpty());
    QVERIFY(store.Eof());
    QVERIFY(store.BOF());
    QCOMPARE(store.AbsolutePosition(), RuleStore::adPosUnknown);
    QVERIFY(!failureOf([&] { store.MoveLast(); }).isEmpty());
    QVERIFY(!failureOf([&] { store.MoveFirst(); }).isEmpty());
    QVERIFY(!failureOf([&] { store.Delete(); }).isEmpty());
}

void tst_RuleStore::openFailureLeavesAnEmptyStore_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::newRow("no database") << "missing";
    QTest::newRow("not a database") << "garbage";
    QTest::newRow("no table") << "no table";
    QTest::newRow("a folder of that name") << "folder";
}

void tst_RuleStore::openFailureLeavesAnEmptyStore()
{
    QFETCH(QString, setUp);
    QFile::remove(m_path);
    if (setUp == "garbage") {
        TestFolders::writeFile(m_path, QByteArray(4096, '\x01'));
    } else if (setUp == "no table") {
        TestFolders::execute(m_path, u"create table Other (x)"_s);
    } else if (setUp == "folder") {
        QDir().mkpath(m_path);
    }
    RuleStore store(m_path);
    QSignalSpy errors(&store, &RuleStore::Error);
    store.Open();
    QCOMPARE(errors.size(), 1);
    QVERIFY(!errors[0][0].toString().isEmpty());
    QVERIFY(!store.isOpen());
    QCOMPARE(store.RecordCount(), 0);
    QVERIFY(store.Eof());
    QVERIFY(!failureOf([&] { store.MoveFirst(); }).isEmpty());
    QVERIFY(!failureOf([&] { store.AddNew(); }).isEmpty());
    if (setUp == "missing") {
        QVERIFY(!QFile::exists(m_path)); // never created
    }
}

void tst_RuleStore::findsTheDatabaseInTheCurrentDirectory()
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    RuleStore store;
    store.Open();
    QDir::setCurrent(previous);
    QCOMPARE(store.RecordCount(), 4);
}

void tst_RuleStore::editIsWrittenWhenTheCursorLeavesTheRow()
{
    RuleStore store(m_path);
    store.Open();
    store.moveTo(1); // a*.txt
    store.setValue(RuleStore::BatFile, text("prog-a2"));
    QCOMPARE(store.value(RuleStore::BatFile).toString(), u"prog-a2"_s);
    QCOMPARE(readRules(m_path)[1].second.toString(), u"prog-a"_s);
    store.MoveNext();
    QCOMPARE(readRules(m_path)[1].second.toString(), u"prog-a2"_s);

    // A Null pattern can be found again and written.
    store.MoveFirst();
    store.setValue(RuleStore::FileName, text("n*.txt"));
    store.setValue(RuleStore::BatFile, kNull);
    store.MoveLast();
    QCOMPARE(readRules(m_path)[2].first.toString(), u"n*.txt"_s);
    QVERIFY(readRules(m_path)[2].second.isNull());
}

void tst_RuleStore::updateBatchWritesEveryPendingRow()
{
    RuleStore store(m_path);
    store.Open();
    store.moveTo(1);
    store.setValue(RuleStore::BatFile, text("x"));
    store.moveTo(2); // leaving writes a*.txt
    store.setValue(RuleStore::BatFile, text("y"));
    store.UpdateBatch();
    QCOMPARE(readRules(m_path)[0].second.toString(), u"y"_s);
    QCOMPARE(readRules(m_path)[1].second.toString(), u"x"_s);
    QCOMPARE(store.AbsolutePosition(), 3);
}

void tst_RuleStore::writeLosesToAnotherStore_data()
{
    QTest::addColumn<bool>("otherDeletes");
    QTest::newRow("other store changed the row") << false;
    QTest::newRow("other store deleted the row") << true;
}

void tst_RuleStore::writeLosesToAnotherStore()
{
    QFETCH(bool, otherDeletes);
    RuleStore mine(m_path);
    RuleStore other(m_path);
    mine.Open();
    other.Open();
    other.moveTo(1);
    if (otherDeletes) {
        other.Delete();
    } else {
        other.setValue(RuleStore::BatFile, text("theirs"));
        other.UpdateBatch();
    }
    const Rules before = readRules(m_path);

    mine.moveTo(1);
    mine.setValue(RuleStore::BatFile, text("mine"));
    QVERIFY(!failureOf([&] { mine.UpdateBatch(); }).isEmpty());

    QSignalSpy errors(&mine, &RuleStore::Error);
    mine.MoveNext();
    QCOMPARE(errors.size(), 1);
    QVERIFY(!errors[0][0].toString().isEmpty());
    // The table refuses the same write every time: reported once, not at every visit.
    mine.MovePrevious();
    mine.MoveNext();
    QCOMPARE(errors.size(), 1);
    QVERIFY(sameRules(readRules(m_path), before));
    // Nothing typed is lost: the copy still holds it.
    QCOMPARE(mine.valueAt(1, RuleStore::BatFile).toString(), u"mine"_s);
}

void tst_RuleStore::deleteIsWrittenAtOnce_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("rowsLeft");
    QTest::addColumn<int>("positionAfterMoveNext"); // then MoveLast when at the end
    QTest::addColumn<bool>("viewMovesCursor"); // as a grid moves its current row off a removed one
    QTest::newRow("middle") << 1 << 3 << 2 << false;
    QTest::newRow("last") << 3 << 3 << 3 << false;
    QTest::newRow("middle, a view moves the cursor meanwhile") << 1 << 3 << 2 << true;
    QTest::newRow("last, a view moves the cursor meanwhile") << 3 << 3 << 3 << true;
}

void tst_RuleStore::deleteIsWrittenAtOnce()
{
    QFETCH(int, row);
    QFETCH(int, rowsLeft);
    QFETCH(int, positionAfterMoveNext);
    QFETCH(bool, viewMovesCursor);
    RuleStore store(m_path);
    store.Open();
    store.moveTo(row);
    const QString deleted = store.value(RuleStore::FileName).toString();
    const QString following = store.valueAt(row + 1, RuleStore::FileName).toString();
    if (viewMovesCursor) {
        connect(&store, &RuleStore::rowAboutToBeRemoved, &store, [&](int removed) { store.moveTo(removed + 1); });
    }
    store.Delete();
    for (int i = 0; i < store.RecordCount(); ++i) {
        QVERIFY(store.valueAt(i, RuleStore::FileName).toString() != deleted);
    }
    QCOMPARE(readRules(m_path).size(), rowsLeft);
    QCOMPARE(store.RecordCount(), rowsLeft);
    QVERIFY(!store.Eof());
    QCOMPARE(store.AbsolutePosition(), RuleStore::adPosUnknown);
    QVERIFY(!failureOf([&] { (void)store.value(RuleStore::FileName); }).isEmpty());
    for (const auto &rule : readRules(m_path)) {
        QVERIFY(rule.first.toString() != deleted);
    }
    store.MoveNext();
    if (store.Eof()) {
        store.MoveLast();
    } else {
        QCOMPARE(store.value(RuleStore::FileName).toString(), following);
    }
    QCOMPARE(store.AbsolutePosition(), positionAfterMoveNext);
}

void tst_RuleStore::deleteOfARowAnotherStoreDeletedFails()
{
    RuleStore mine(m_path);
    RuleStore other(m_path);
    mine.Open();
    other.Open();
    other.moveTo(2);
    other.Delete();
    mine.moveTo(2);
    QVERIFY(!failureOf([&] { mine.Delete(); }).isEmpty());
    QCOMPARE(mine.RecordCount(), 4);
    QCOMPARE(mine.AbsolutePosition(), 3);

    // The only rule left: deleted, then the cursor is empty.
    TestFolders::execute(m_path, u"delete from FileList where FileName is not 'a*.txt'"_s);
    mine.Refresh();
    mine.Delete();
    mine.MoveNext();
    QVERIFY(mine.Eof());
    QVERIFY(!failureOf([&] { mine.MoveLast(); }).isEmpty());
    QVERIFY(readRules(m_path).isEmpty());
}

void tst_RuleStore::newRowIsWrittenWhenLeft()
{
    RuleStore store(m_path);
    store.Open();
    store.AddNew();
    QCOMPARE(store.AbsolutePosition(), 5);
    store.setValue(RuleStore::FileName, text("0*.txt"));
    store.setValue(RuleStore::BatFile, text("prog-0"));
    QCOMPARE(readRules(m_path).size(), 4);
    store.MoveFirst();
    QCOMPARE(readRules(m_path).size(), 5);
    // It stays below the others until the store is read again.
    QCOMPARE(store.valueAt(4, RuleStore::FileName).toString(), u"0*.txt"_s);
    store.Refresh();
    QCOMPARE(store.valueAt(1, RuleStore::FileName).toString(), u"0*.txt"_s);
    // Written once only, and changeable afterwards.
    store.moveTo(1);
    store.setValue(RuleStore::BatFile, text("prog-00"));
    store.UpdateBatch();
    QCOMPARE(readRules(m_path).size(), 5);
    QCOMPARE(readRules(m_path)[4].second.toString(), u"prog-00"_s);
}

void tst_RuleStore::newRowOnAnEmptyTable()
{
    TestFolders::execute(m_path, u"delete from FileList"_s);
    RuleStore store(m_path);
    store.Open();
    store.AddNew();
    store.setValue(RuleStore::FileName, text("*.csv"));
    store.setValue(RuleStore::BatFile, text("import"));
    store.UpdateBatch();
    QVERIFY(sameRules(readRules(m_path), {{text("*.csv"), text("import")}}));
}

void tst_RuleStore::refreshSeesOtherStoresChanges()
{
    RuleStore first(m_path);
    RuleStore second(m_path);
    first.Open();
    second.Open();
    second.moveTo(1);
    second.Delete();
    QCOMPARE(first.RecordCount(), 4);
    first.MoveLast();
    QSignalSpy moves(&first, &RuleStore::MoveComplete);
    first.Refresh();
    QCOMPARE(moves.size(), 1);
    QCOMPARE(first.RecordCount(), 3);
    QCOMPARE(first.AbsolutePosition(), 1);
}

void tst_RuleStore::notifications()
{
    RuleStore store(m_path);
    QSignalSpy moves(&store, &RuleStore::MoveComplete);
    QSignalSpy changes(&store, &RuleStore::WillChangeRecord);
    store.Open();
    QCOMPARE(moves.size(), 1);
    store.MoveNext();
    store.MoveLast();
    store.MoveFirst();
    QCOMPARE(moves.size(), 4);
    QCOMPARE(changes.size(), 0);
    store.setValue(RuleStore::BatFile, text("x"));
    store.MoveNext();
    store.Delete();
    QCOMPARE(changes.size(), 2);
    QCOMPARE(moves.size(), 5);
}

void tst_RuleStore::identifiedQuery_data()
{
    QTest::addColumn<QString>("recordSource");
    QTest::addColumn<QString>("identified");
    QTest::newRow("as the store has it") << RuleStore::RecordSource
                                         << "select rowid, FileName,BatFile from FileList Order by FileName";
    QTest::newRow("upper case, more spacing") << " SELECT\tFileName, BatFile FROM FileList"
                                              << " SELECT\trowid, FileName, BatFile FROM FileList";
    QTest::newRow("a line break after select") << "Select\nFileName from FileList"
                                               << "Select\nrowid, FileName from FileList";
}

void tst_RuleStore::identifiedQuery()
{
    QFETCH(QString, recordSource);
    QFETCH(QString, identified);
    QCOMPARE(RuleStore::identifiedQuery(recordSource), identified);
    // And the query runs.
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"identified"_s);
    db.setDatabaseName(m_path);
    QVERIFY(db.open());
    QSqlQuery query(db);
    QVERIFY2(query.exec(RuleStore::identifiedQuery(recordSource)), qPrintable(query.lastError().text()));
    QVERIFY(query.next());
    QVERIFY(query.value(0).toLongLong() > 0);
    query = QSqlQuery();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"identified"_s);
}

QTEST_GUILESS_MAIN(tst_RuleStore)
#include "tst_rulestore.moc"
