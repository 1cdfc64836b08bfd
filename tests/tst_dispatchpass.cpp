#include "engine/dispatchpass.h"
#include "support/fakes.h"
#include "engine/rulestore.h"
#include "support/testfolders.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using TestFolders::entries;
using TestFolders::readFile;
using TestFolders::writeFile;
using Step = PassFailure::Step;

Q_DECLARE_METATYPE(PassFailure::Step)

namespace {

const QVariant kNull = QVariant(QMetaType::fromType<QString>());

QVariant text(const char *value)
{
    return QString::fromUtf8(value);
}

// A search folder, a work folder and a rule database in a temporary folder, with fakes
// that log every listing, move and launch in order.
class Fixture {
public:
    explicit Fixture(const QList<QPair<QVariant, QVariant>> &rules)
        : search(dir.filePath(QStringLiteral("in")))
        , work(dir.filePath(QStringLiteral("work")))
        , database(dir.filePath(QStringLiteral("AttFile.mdb")))
        , files(&log)
        , launcher(&log)
    {
        QDir().mkpath(search);
        QDir().mkpath(work);
        TestFolders::createRuleDatabase(database, rules);
        store = std::make_unique<RuleStore>(database);
        store->Open();
    }
    void drop(const QStringList &names)
    {
        for (const QString &name : names) {
            writeFile(search + u'/' + name, name.toUtf8());
        }
    }
    PassReport pass() { return runDispatchPass(*store, search, work, files, launcher); }

    QTemporaryDir dir;
    QString search;
    QString work;
    QString database;
    QStringList log;
    FakeFileSystem files;
    FakeProcessLauncher launcher;
    std::unique_ptr<RuleStore> store;
};

// The log's moves under one listing, sorted: the listing's order is the folder's own.
QStringList movesAfter(const QStringList &log, const QString &listing)
{
    QStringList moves;
    for (qsizetype i = log.indexOf(listing) + 1; i < log.size() && !log[i].startsWith(QLatin1String("list")); ++i) {
        if (log[i].startsWith(QLatin1String("move"))) {
            moves.append(log[i]);
        }
    }
    moves.sort();
    return moves;
}

} // namespace

class tst_DispatchPass : public QObject {
    Q_OBJECT
private slots:
    void rulesInOrderAndEachFileOnce();
    void skipsRulesWithoutPattern();
    void movesPlainFilesOnlyAndReplaces();
    void failuresLoseNothing_data();
    void failuresLoseNothing();
    void fileTakenByAnotherProgramIsPassedOver();
    void firstMatchingRuleOwnsItsFiles_data();
    void firstMatchingRuleOwnsItsFiles();
    void nothingToDo_data();
    void nothingToDo();
    void usesAnEditOfTheCurrentRule();
    void reportsAnEditThatCannotBeWritten();
};

void tst_DispatchPass::rulesInOrderAndEachFileOnce()
{
    Fixture f({{text("b*.txt"), text("prog-b")}, {text("a*.txt"), text("prog-a")}, {text("?1.txt"), text("prog-1")}});
    f.drop({QStringLiteral("a1.txt"), QStringLiteral("a2.txt"), QStringLiteral("b1.txt"), QStringLiteral("b2.txt"),
            QStringLiteral("B3.TXT"), QStringLiteral("c1.txt"), QStringLiteral("keep.csv")});

    const PassReport report = f.pass();

    QVERIFY(report.failures.isEmpty());
    QCOMPARE(report.filesMoved, 6);
    QCOMPARE(report.programsLaunched, 6);
    // Rules in ascending FileName order, each listing begun once.
    QStringList listings = f.log.filter(QStringLiteral("list "));
    QCOMPARE(listings, (QStringList{QStringLiteral("list ?1.txt"), QStringLiteral("list a*.txt"),
                                    QStringLiteral("list b*.txt")}));
    // The first rule whose pattern matches takes the file.
    QCOMPARE(movesAfter(f.log, QStringLiteral("list ?1.txt")),
             (QStringList{QStringLiteral("move a1.txt"), QStringLiteral("move b1.txt"), QStringLiteral("move c1.txt")}));
    QCOMPARE(movesAfter(f.log, QStringLiteral("list a*.txt")), QStringList{QStringLiteral("move a2.txt")});
    QCOMPARE(movesAfter(f.log, QStringLiteral("list b*.txt")),
             (QStringList{QStringLiteral("move B3.TXT"), QStringLiteral("move b2.txt")}));
    // Each move is followed by its rule's launch before the next name.
    for (qsizetype i = 0; i < f.log.size(); ++i) {
        if (f.log[i].startsWith(QLatin1String("move"))) {
            const QString name = f.log[i].mid(5);
            const QString rule = name.startsWith(u'a') && name != QLatin1String("a1.txt") ? QStringLiteral("prog-a")
                : name.endsWith(QLatin1String("1.txt"))                                    ? QStringLiteral("prog-1")
                                                                                           : QStringLiteral("prog-b");
            QCOMPARE(f.log.value(i + 1), QStringLiteral("launch ") + rule);
        }
    }
    QCOMPARE(entries(f.search), QStringList{QStringLiteral("keep.csv")});
    QCOMPARE(entries(f.work).size(), 6);
    QCOMPARE(readFile(f.work + "/a1.txt"), QByteArray("a1.txt"));
    // The cursor is left on the last rule.
    QCOMPARE(f.store->AbsolutePosition(), 3);
}

void tst_DispatchPass::skipsRulesWithoutPattern()
{
    // Null and empty patterns are skipped without reading their program; a blank pattern is a pattern.
    Fixture f({{kNull, kNull}, {text(""), kNull}, {text(" "), text("prog-blank")}, {text("*"), text("prog-all")}});
    f.drop({QStringLiteral("x.dat")});
    const PassReport report = f.pass();
    QVERIFY(report.failures.isEmpty());
    QCOMPARE(f.log, (QStringList{QStringLiteral("list  "), QStringLiteral("list *"), QStringLiteral("move x.dat"),
                                 QStringLiteral("launch prog-all")}));
    QCOMPARE(f.store->AbsolutePosition(), 4);
}

void tst_DispatchPass::movesPlainFilesOnlyAndReplaces()
{
    Fixture f({{text("*"), text("prog")}});
    f.drop({QStringLiteral("new.txt"), QStringLiteral(".hidden")});
    QDir(f.search).mkdir(QStringLiteral("folder"));
    QVERIFY(QFile::link(f.search + "/new.txt", f.search + "/link.txt"));
    writeFile(f.work + "/new.txt", "older copy");

    const PassReport report = f.pass();
    QCOMPARE(report.filesMoved, 1);
    QCOMPARE(entries(f.search), (QStringList{QStringLiteral(".hidden"), QStringLiteral("folder"),
                                             QStringLiteral("link.txt")}));
    QCOMPARE(readFile(f.work + "/new.txt"), QByteArray("new.txt"));
    QCOMPARE(f.launcher.launched, QStringList{QStringLiteral("prog")});
}

void tst_DispatchPass::failuresLoseNothing_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<Step>("step");
    QTest::addColumn<QStringList>("leftInSearch");
    QTest::addColumn<QStringList>("inWork");
    QTest::addColumn<QStringList>("launched");

    const QString a = QStringLiteral("a.txt");
    const QString b = QStringLiteral("b.txt");
    const QString z = QStringLiteral("z.csv");
    QTest::newRow("a move fails") << "move a.txt" << Step::Move << QStringList{a} << QStringList{b, z}
                                  << QStringList{"prog", "prog-csv"};
    QTest::newRow("a launch fails") << "launch prog" << Step::Launch << QStringList{} << QStringList{a, b, z}
                                    << QStringList{"prog-csv"};
    QTest::newRow("program missing") << "problem prog" << Step::Rule << QStringList{a, b} << QStringList{z}
                                     << QStringList{"prog-csv"};
    QTest::newRow("program Null") << "null program" << Step::Rule << QStringList{a, b} << QStringList{z}
                                  << QStringList{"prog-csv"};
    QTest::newRow("program blank") << "blank program" << Step::Rule << QStringList{a, b} << QStringList{z}
                                   << QStringList{"prog-csv"};
    QTest::newRow("work folder missing") << "no work folder" << Step::Move << QStringList{a, b, z} << QStringList{}
                                         << QStringList{};
}

void tst_DispatchPass::failuresLoseNothing()
{
    QFETCH(QString, failure);
    QFETCH(Step, step);
    QFETCH(QStringList, leftInSearch);
    QFETCH(QStringList, inWork);
    QFETCH(QStringList, launched);

    const QVariant program = failure == "null program" ? kNull
        : failure == "blank program"                   ? text("   ")
                                                       : text("prog");
    Fixture f({{text("*.txt"), program}, {text("*.csv"), text("prog-csv")}});
    f.drop({QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("z.csv")});
    if (failure == "move a.txt") {
        f.files.moveFailures.insert(QStringLiteral("a.txt"), QStringLiteral("Device or resource busy"));
    } else if (failure == "launch prog") {
        f.launcher.launchFailures.insert(QStringLiteral("prog"), QStringLiteral("Permission denied"));
    } else if (failure == "problem prog") {
        f.launcher.problems.insert(QStringLiteral("prog"), QStringLiteral("not found"));
    } else if (failure == "no work folder") {
        QDir(f.work).removeRecursively();
    }

    const PassReport report = f.pass();

    QVERIFY(!report.failures.isEmpty());
    for (const PassFailure &reported : report.failures) {
        QCOMPARE(reported.step, step);
        QVERIFY(!reported.reason.isEmpty());
        QVERIFY(reported.pattern == QLatin1String("*.txt") || failure == "no work folder");
        QVERIFY(describe(reported).contains(reported.reason));
    }
    QCOMPARE(entries(f.search), leftInSearch);
    if (QDir(f.work).exists()) {
        QCOMPARE(entries(f.work), inWork);
    }
    QStringList sortedLaunches = f.launcher.launched;
    sortedLaunches.sort();
    QCOMPARE(sortedLaunches, launched);
    QCOMPARE(report.filesMoved, inWork.size());
    QCOMPARE(report.programsLaunched, launched.size());
    for (const QString &name : leftInSearch + inWork) {
        const QString folder = leftInSearch.contains(name) ? f.search : f.work;
        QCOMPARE(readFile(folder + u'/' + name), name.toUtf8());
    }
}

void tst_DispatchPass::fileTakenByAnotherProgramIsPassedOver()
{
    Fixture f({{text("*"), text("prog")}});
    f.drop({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    f.files.beforeMove = [&](const QString &source) {
        if (source.endsWith(QLatin1String("/b"))) {
            QFile::remove(source);
        }
    };
    const PassReport report = f.pass();
    QVERIFY(report.failures.isEmpty());
    QCOMPARE(report.filesMoved, 2);
    QCOMPARE(entries(f.work), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    QCOMPARE(f.launcher.launched.size(), 2);
}

void tst_DispatchPass::firstMatchingRuleOwnsItsFiles_data()
{
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QString>("failingMove"); // a file whose move fails, or empty
    QTest::addColumn<QStringList>("leftInSearch");
    QTest::addColumn<QStringList>("launched");
    QTest::addColumn<QString>("reported"); // the one report line, or empty for none
    // Rules in pass order: "*.log", "*.txt" whose program cannot start, then "a*", which would
    // match every file named here.
    QTest::newRow("its files stay, counted in one line")
        << QStringList{"a.txt", "b.txt", "a.csv"} << QString() << QStringList{"a.txt", "b.txt"}
        << QStringList{"prog-a"} << u"規則「*.txt」のプログラムを起動できないため、ファイル 2 件を検索フォルダに残しました: not found"_qs;
    QTest::newRow("no file waiting: nothing reported")
        << QStringList{"a.csv"} << QString() << QStringList{} << QStringList{"prog-a"} << QString();
    QTest::newRow("a move that fails leaves the file to its own rule")
        << QStringList{"a.csv", "a.log"} << "a.log" << QStringList{"a.log"} << QStringList{"prog-a"}
        << u"a.log を作業フォルダへ移動できません (検索フォルダに残しました): busy"_qs;
}

void tst_DispatchPass::firstMatchingRuleOwnsItsFiles()
{
    QFETCH(QStringList, dropped);
    QFETCH(QString, failingMove);
    QFETCH(QStringList, leftInSearch);
    QFETCH(QStringList, launched);
    QFETCH(QString, reported);
    Fixture f({{text("a*"), text("prog-a")}, {text("*.txt"), text("prog-txt")}, {text("*.log"), text("prog-log")}});
    f.launcher.problems.insert(QStringLiteral("prog-txt"), QStringLiteral("not found"));
    f.drop(dropped);
    if (!failingMove.isEmpty()) {
        f.files.moveFailures.insert(failingMove, QStringLiteral("busy"));
    }
    const PassReport report = f.pass();
    QStringList lines;
    for (const PassFailure &failure : report.failures) {
        lines.append(describe(failure));
    }
    QCOMPARE(lines, reported.isEmpty() ? QStringList{} : QStringList{reported});
    QCOMPARE(entries(f.search), leftInSearch);
    QCOMPARE(f.launcher.launched, launched);
}

void tst_DispatchPass::nothingToDo_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<bool>("reported");
    QTest::newRow("empty rule table") << "empty table" << false;
    QTest::newRow("database failed to open") << "no database" << false;
    QTest::newRow("search folder missing") << "no search folder" << false;
    QTest::newRow("same folder") << "same folder" << true;
    QTest::newRow("same folder by another name") << "same folder by link" << true;
    QTest::newRow("empty search folder text") << "empty search text" << true;
    QTest::newRow("empty work folder text") << "empty work text" << true;
}

void tst_DispatchPass::nothingToDo()
{
    QFETCH(QString, setUp);
    QFETCH(bool, reported);
    Fixture f({{text("*"), text("prog")}});
    f.drop({QStringLiteral("a")});
    QString search = f.search;
    QString work = f.work;
    if (setUp == "empty table") {
        TestFolders::execute(f.database, QStringLiteral("delete from FileList"));
        f.store->Refresh();
    } else if (setUp == "no database") {
        f.store = std::make_unique<RuleStore>(f.dir.filePath(QStringLiteral("missing.mdb")));
        f.store->Open();
    } else if (setUp == "no search folder") {
        search = f.dir.filePath(QStringLiteral("missing"));
    } else if (setUp == "same folder") {
        work = f.search;
    } else if (setUp == "same folder by link") {
        QVERIFY(QFile::link(f.search, f.dir.filePath(QStringLiteral("alias"))));
        work = f.dir.filePath(QStringLiteral("alias")) + u'/';
    } else if (setUp == "empty search text") {
        search.clear();
    } else if (setUp == "empty work text") {
        work.clear();
    }

    const PassReport report = runDispatchPass(*f.store, search, work, f.files, f.launcher);
    QCOMPARE(report.failures.size(), reported ? 1 : 0);
    if (reported) {
        QCOMPARE(report.failures[0].step, Step::Folders);
    }
    QCOMPARE(report.filesMoved, 0);
    QVERIFY(f.launcher.launched.isEmpty());
    QCOMPARE(readFile(f.search + "/a"), QByteArray("a"));
}

void tst_DispatchPass::usesAnEditOfTheCurrentRule()
{
    Fixture f({{text("*.txt"), text("old-prog")}});
    f.drop({QStringLiteral("a.txt")});
    f.store->setValue(RuleStore::BatFile, text("new-prog"));
    const PassReport report = f.pass();
    QVERIFY(report.failures.isEmpty());
    QCOMPARE(f.launcher.launched, QStringList{QStringLiteral("new-prog")});
    f.store->UpdateBatch();
    QCOMPARE(TestFolders::readRules(f.database)[0].second.toString(), QStringLiteral("new-prog"));
}

void tst_DispatchPass::reportsAnEditThatCannotBeWritten()
{
    Fixture f({{text("a*"), text("prog-a")}, {text("b*"), text("prog-b")}});
    f.drop({QStringLiteral("a1"), QStringLiteral("b1")});
    f.store->MoveLast();
    f.store->setValue(RuleStore::BatFile, text("prog-b2"));
    TestFolders::execute(f.database, QStringLiteral("delete from FileList where FileName = 'b*'"));

    const PassReport report = f.pass();
    // Leaving the edited rule fails to write it; the pass goes on and still uses the edit.
    QCOMPARE(report.failures.size(), 1);
    QCOMPARE(report.failures[0].step, Step::Store);
    QCOMPARE(report.filesMoved, 2);
    QCOMPARE(f.launcher.launched, (QStringList{QStringLiteral("prog-a"), QStringLiteral("prog-b2")}));
}

QTEST_GUILESS_MAIN(tst_DispatchPass)
#include "tst_dispatchpass.moc"
