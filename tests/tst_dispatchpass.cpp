#include "engine/dispatchpass.h"
#include "engine/rulestore.h"
#include "platform/filenames.h"
#include "platform/posixfilesystem.h"
#include "support/fakes.h"
#include "support/programfolderfixture.h"
#include "support/testfolders.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using TestFolders::entries;
using TestFolders::readFile;
using TestFolders::writeFile;
using Step = PassFailure::Step;

Q_DECLARE_METATYPE(PassFailure::Step)

namespace {

// A program folder with the store a pass walks, and fakes that log every listing, move and
// launch in order.
class Fixture : public ProgramFolderFixture {
public:
    explicit Fixture(const Rules &rules)
        : ProgramFolderFixture(rules)
        , files(&log)
        , launcher(&log)
        , store(std::make_unique<RuleStore>(database))
    {
        store->Open();
    }
    PassReport pass() { return passOver(search, work); }
    PassReport passOver(const QString &searchFolder, const QString &workFolder)
    {
        return runDispatchPass(*store, {searchFolder, workFolder, files, launcher, clock, settleSeconds});
    }

    QStringList log;
    FakeClock clock; // far from the files' times unless a test sets it: they count as settled
    int settleSeconds = 2;
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

using Arrange = std::function<void(Fixture &)>;

} // namespace

Q_DECLARE_METATYPE(Arrange)
Q_DECLARE_METATYPE(std::function<void(Fixture &, QString &, QString &)>)

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
    void programIsToldItsFile();
    void dryRunChangesNothing();
    void fileStillBeingWrittenWaits();
    void reportShowsNameBytesEscaped();
    void leftoverOfAnEndedProcessIsPutBackAndMoved();
    void twoProcessesDispatchEachFileOnce();
    void usesAnEditOfTheCurrentRule();
    void reportsAnEditThatCannotBeWritten();
};

void tst_DispatchPass::rulesInOrderAndEachFileOnce()
{
    Fixture f({{text("b*.txt"), text("prog-b")}, {text("a*.txt"), text("prog-a")}, {text("?1.txt"), text("prog-1")}});
    f.drop({u"a1.txt"_s, u"a2.txt"_s, u"b1.txt"_s, u"b2.txt"_s, u"B3.TXT"_s, u"c1.txt"_s, u"keep.csv"_s});

    const PassReport report = f.pass();

    QVERIFY(report.failures.isEmpty());
    QCOMPARE(report.filesMoved, 6);
    QCOMPARE(report.programsLaunched, 6);
    // Rules in ascending FileName order, each listing begun once.
    QStringList listings = f.log.filter(u"list "_s);
    QCOMPARE(listings, (QStringList{u"list ?1.txt"_s, u"list a*.txt"_s, u"list b*.txt"_s}));
    // The first rule whose pattern matches takes the file.
    QCOMPARE(movesAfter(f.log, u"list ?1.txt"_s), (QStringList{u"move a1.txt"_s, u"move b1.txt"_s, u"move c1.txt"_s}));
    QCOMPARE(movesAfter(f.log, u"list a*.txt"_s), QStringList{u"move a2.txt"_s});
    QCOMPARE(movesAfter(f.log, u"list b*.txt"_s), (QStringList{u"move B3.TXT"_s, u"move b2.txt"_s}));
    // Each move is followed by its rule's launch before the next name.
    const QHash<QString, QString> programOf{{u"a1.txt"_s, u"prog-1"_s}, {u"b1.txt"_s, u"prog-1"_s},
                                            {u"c1.txt"_s, u"prog-1"_s}, {u"a2.txt"_s, u"prog-a"_s},
                                            {u"b2.txt"_s, u"prog-b"_s}, {u"B3.TXT"_s, u"prog-b"_s}};
    for (qsizetype i = 0; i < f.log.size(); ++i) {
        if (f.log[i].startsWith(QLatin1String("move"))) {
            QCOMPARE(f.log.value(i + 1), u"launch "_s + programOf.value(f.log[i].mid(5)));
        }
    }
    QCOMPARE(entries(f.search), QStringList{u"keep.csv"_s});
    QCOMPARE(entries(f.work).size(), 6);
    QCOMPARE(readFile(f.work + "/a1.txt"), QByteArray("a1.txt"));
    // The cursor is left on the last rule.
    QCOMPARE(f.store->AbsolutePosition(), 3);
}

void tst_DispatchPass::skipsRulesWithoutPattern()
{
    // Null and empty patterns are skipped without reading their program; a blank pattern is a pattern.
    Fixture f({{kNull, kNull}, {text(""), kNull}, {text(" "), text("prog-blank")}, {text("*"), text("prog-all")}});
    f.drop({u"x.dat"_s});
    const PassReport report = f.pass();
    QVERIFY(report.failures.isEmpty());
    QCOMPARE(f.log, (QStringList{u"list  "_s, u"list *"_s, u"move x.dat"_s, u"launch prog-all"_s}));
    QCOMPARE(f.store->AbsolutePosition(), 4);
}

void tst_DispatchPass::movesPlainFilesOnlyAndReplaces()
{
    Fixture f({{text("*"), text("prog")}});
    f.drop({u"new.txt"_s, u".hidden"_s});
    QDir(f.search).mkdir(u"folder"_s);
    QVERIFY(QFile::link(f.search + "/new.txt", f.search + "/link.txt"));
    writeFile(f.work + "/new.txt", "older copy");

    const PassReport report = f.pass();
    QCOMPARE(report.filesMoved, 1);
    QCOMPARE(entries(f.search), (QStringList{u".hidden"_s, u"folder"_s, u"link.txt"_s}));
    QCOMPARE(readFile(f.work + "/new.txt"), QByteArray("new.txt"));
    QCOMPARE(f.launcher.launched, QStringList{u"prog"_s});
}

void tst_DispatchPass::failuresLoseNothing_data()
{
    QTest::addColumn<QVariant>("program"); // of the rule "*.txt"
    QTest::addColumn<Arrange>("arrange");
    QTest::addColumn<Step>("step");
    QTest::addColumn<QStringList>("reportedPatterns");
    QTest::addColumn<QStringList>("leftInSearch");
    QTest::addColumn<QStringList>("inWork");
    QTest::addColumn<QStringList>("launched");

    const QString a = u"a.txt"_s;
    const QString b = u"b.txt"_s;
    const QString z = u"z.csv"_s;
    const QStringList txt{u"*.txt"_s};
    const Arrange nothing = [](Fixture &) {};
    QTest::newRow("a move fails") << text("prog") << Arrange([](Fixture &f) {
        f.files.moveFailures.insert(u"a.txt"_s, u"Device or resource busy"_s);
    }) << Step::Move << txt << QStringList{a}
                                  << QStringList{b, z} << QStringList{"prog", "prog-csv"};
    QTest::newRow("a launch fails") << text("prog") << Arrange([](Fixture &f) {
        f.launcher.launchFailures.insert(u"prog"_s, u"Permission denied"_s);
    }) << Step::Launch << txt + txt << QStringList{}
                                    << QStringList{a, b, z} << QStringList{"prog-csv"};
    QTest::newRow("program missing") << text("prog") << Arrange([](Fixture &f) {
        f.launcher.problems.insert(u"prog"_s, u"not found"_s);
    }) << Step::Rule << txt << QStringList{a, b}
                                     << QStringList{z} << QStringList{"prog-csv"};
    QTest::newRow("program Null") << kNull << nothing << Step::Rule << txt << QStringList{a, b} << QStringList{z}
                                  << QStringList{"prog-csv"};
    QTest::newRow("program blank") << text("   ") << nothing << Step::Rule << txt << QStringList{a, b} << QStringList{z}
                                   << QStringList{"prog-csv"};
    // Reported once for the pass, not for each file.
    QTest::newRow("work folder missing") << text("prog")
                                         << Arrange([](Fixture &f) { QDir(f.work).removeRecursively(); })
                                         << Step::Folders << QStringList{""} << QStringList{a, b, z} << QStringList{}
                                         << QStringList{};
}

void tst_DispatchPass::failuresLoseNothing()
{
    QFETCH(QVariant, program);
    QFETCH(Arrange, arrange);
    QFETCH(Step, step);
    QFETCH(QStringList, reportedPatterns);
    QFETCH(QStringList, leftInSearch);
    QFETCH(QStringList, inWork);
    QFETCH(QStringList, launched);

    Fixture f({{text("*.txt"), program}, {text("*.csv"), text("prog-csv")}});
    f.drop({u"a.txt"_s, u"b.txt"_s, u"z.csv"_s});
    arrange(f);

    const PassReport report = f.pass();

    QStringList patterns;
    for (const PassFailure &reported : report.failures) {
        QCOMPARE(reported.step, step);
        QVERIFY(!reported.reason.isEmpty());
        QVERIFY(describe(reported).contains(reported.reason));
        patterns.append(reported.pattern);
    }
    QCOMPARE(patterns, reportedPatterns);
    QCOMPARE(entries(f.search), leftInSearch);
    if (QDir(f.work).exists()) {
        QCOMPARE(entries(f.work), inWork);
    }
    QStringList sortedLaunches = f.launcher.launched;
    sortedLaunches.sort();
    QCOMPARE(sortedLaunches, launched);
    QCOMPARE(report.filesMoved, inWork.size());
    QCOMPARE(report.programsLaunched, launched.size());
    for (const QString &name : leftInSearch) {
        QCOMPARE(readFile(f.search + u'/' + name), name.toUtf8());
    }
    for (const QString &name : inWork) {
        QCOMPARE(readFile(f.work + u'/' + name), name.toUtf8());
    }
}

void tst_DispatchPass::fileTakenByAnotherProgramIsPassedOver()
{
    Fixture f({{text("*"), text("prog")}});
    f.drop({u"a"_s, u"b"_s, u"c"_s});
    f.files.beforeMove = [&](const QString &source) {
        if (source.endsWith(QLatin1String("/b"))) {
            QFile::remove(source);
        }
    };
    const PassReport report = f.pass();
    QVERIFY(report.failures.isEmpty());
    QCOMPARE(report.filesMoved, 2);
    QCOMPARE(entries(f.work), (QStringList{u"a"_s, u"c"_s}));
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
        << QStringList{"a.txt", "b.txt", "a.csv"} << QString() << QStringList{"a.txt", "b.txt"} << QStringList{"prog-a"}
        << u"規則「*.txt」のプログラムを起動できないため、ファイル 2 件を検索フォルダに残しました: not found"_s;
    QTest::newRow("no file waiting: nothing reported")
        << QStringList{"a.csv"} << QString() << QStringList{} << QStringList{"prog-a"} << QString();
    QTest::newRow("a move that fails leaves the file to its own rule")
        << QStringList{"a.csv", "a.log"} << "a.log" << QStringList{"a.log"} << QStringList{"prog-a"}
        << u"a.log を作業フォルダへ移動できません (検索フォルダに残しました): busy"_s;
}

void tst_DispatchPass::firstMatchingRuleOwnsItsFiles()
{
    QFETCH(QStringList, dropped);
    QFETCH(QString, failingMove);
    QFETCH(QStringList, leftInSearch);
    QFETCH(QStringList, launched);
    QFETCH(QString, reported);
    Fixture f({{text("a*"), text("prog-a")}, {text("*.txt"), text("prog-txt")}, {text("*.log"), text("prog-log")}});
    f.launcher.problems.insert(u"prog-txt"_s, u"not found"_s);
    f.drop(dropped);
    if (!failingMove.isEmpty()) {
        f.files.moveFailures.insert(failingMove, u"busy"_s);
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
    // Given the fixture, the search and the work folder text, changes what the pass will meet.
    using Folders = std::function<void(Fixture &, QString &, QString &)>;
    QTest::addColumn<Folders>("arrange");
    QTest::addColumn<bool>("reported");
    QTest::newRow("empty rule table") << Folders([](Fixture &f, QString &, QString &) {
        TestFolders::execute(f.database, u"delete from FileList"_s);
        f.store->Refresh();
    }) << false;
    QTest::newRow("database failed to open") << Folders([](Fixture &f, QString &, QString &) {
        f.store = std::make_unique<RuleStore>(f.dir.filePath(u"missing.mdb"_s));
        f.store->Open();
    }) << false;
    QTest::newRow("search folder missing")
        << Folders([](Fixture &f, QString &search, QString &) { search = f.dir.filePath(u"missing"_s); }) << true;
    QTest::newRow("search folder is a file")
        << Folders([](Fixture &f, QString &search, QString &) { search = f.database; }) << true;
    QTest::newRow("search folder cannot be read")
        << Folders([](Fixture &f, QString &search, QString &) { f.files.unreadableFolders.append(search); }) << true;
    QTest::newRow("work folder missing") << Folders([](Fixture &f, QString &, QString &work) {
        work = f.dir.filePath(u"missing"_s);
    }) << true;
    QTest::newRow("same folder") << Folders([](Fixture &f, QString &, QString &work) { work = f.search; }) << true;
    QTest::newRow("same folder by another name") << Folders([](Fixture &f, QString &, QString &work) {
        QVERIFY(QFile::link(f.search, f.dir.filePath(u"alias"_s)));
        work = f.dir.filePath(u"alias"_s) + u'/';
    }) << true;
    QTest::newRow("empty search folder text")
        << Folders([](Fixture &, QString &search, QString &) { search.clear(); }) << true;
    QTest::newRow("empty work folder text")
        << Folders([](Fixture &, QString &, QString &work) { work.clear(); }) << true;
}

void tst_DispatchPass::nothingToDo()
{
    using Folders = std::function<void(Fixture &, QString &, QString &)>;
    QFETCH(Folders, arrange);
    QFETCH(bool, reported);
    Fixture f({{text("*"), text("prog")}});
    f.drop({u"a"_s});
    QString search = f.search;
    QString work = f.work;
    arrange(f, search, work);

    const PassReport report = f.passOver(search, work);
    QCOMPARE(report.failures.size(), reported ? 1 : 0);
    if (reported) {
        QCOMPARE(report.failures[0].step, Step::Folders);
    }
    QCOMPARE(report.filesMoved, 0);
    QVERIFY(f.launcher.launched.isEmpty());
    QCOMPARE(readFile(f.search + "/a"), QByteArray("a"));
}

void tst_DispatchPass::programIsToldItsFile()
{
    Fixture f({{text("*.txt"), text("prog --flag")}});
    f.drop({u"a.txt"_s});
    const PassReport report = f.pass();
    QCOMPARE(f.launcher.launched, QStringList{u"prog --flag"_s}); // the command line as it stands
    const LaunchEnvironment expected{{u"FENLOW_FILE"_s, f.work + u"/a.txt"_s},
                                     {u"FENLOW_NAME"_s, u"a.txt"_s},
                                     {u"FENLOW_RULE"_s, u"*.txt"_s},
                                     {u"FENLOW_SEARCH_FOLDER"_s, f.search},
                                     {u"FENLOW_WORK_FOLDER"_s, f.work}};
    QCOMPARE(f.launcher.environments, QList<LaunchEnvironment>{expected});
    // And the pass's events, for the history: the move, then the start with its process id.
    QCOMPARE(report.events.size(), 2);
    QCOMPARE(report.events[0].kind, PassEvent::Kind::Moved);
    QCOMPARE(report.events[1].kind, PassEvent::Kind::Started);
    QCOMPARE(report.events[1].processId, 10001);
    QCOMPARE(report.events[1].file, u"a.txt"_s);
    QCOMPARE(report.events[1].command, u"prog --flag"_s);
    QCOMPARE(report.events[1].time, f.clock.now());
}

void tst_DispatchPass::dryRunChangesNothing()
{
    Fixture f({{text("*.txt"), text("prog-txt")}, {text("*"), text("prog-all")}});
    f.drop({u"a.txt"_s, u"b.csv"_s});
    const QString leftover
        = u"/.fenlow-claim~%1~%2~c.txt"_s.arg(QString::fromUtf8(PosixFileSystem().claimPrefix()).section(u'~', 1, 1))
              .arg(TestFolders::endedProcessId());
    writeFile(f.search + leftover, "c");
    const PassReport report
        = runDispatchPass(*f.store, {f.search, f.work, f.files, f.launcher, f.clock, 0, /*dryRun=*/true});
    QStringList would;
    for (const PassEvent &event : report.events) {
        QCOMPARE(event.kind, PassEvent::Kind::WouldMove);
        would.append(event.file + u" "_s + event.command);
    }
    would.sort();
    QCOMPARE(would, (QStringList{"a.txt prog-all", "b.csv prog-all"}));
    QCOMPARE(report.filesMoved, 0);
    QVERIFY(f.launcher.launched.isEmpty());
    QCOMPARE(entries(f.search).size(), 3); // the leftover claim too: a dry run puts nothing back
    QVERIFY(entries(f.work).isEmpty());
}

void tst_DispatchPass::fileStillBeingWrittenWaits()
{
    Fixture f({{text("*.txt"), text("prog-txt")}, {text("?.txt"), text("prog-one")}});
    f.drop({u"a.txt"_s, u"b.txt"_s});
    f.files.stillBeingWritten = QStringList{u"a.txt"_s};
    f.clock.set(QDateTime(QDate(2026, 3, 1), QTime(9, 0, 0)));
    f.settleSeconds = 5;

    PassReport report = f.pass();
    QVERIFY(report.failures.isEmpty());
    QCOMPARE(report.filesWaiting, 1);
    QCOMPARE(report.filesMoved, 1);
    QVERIFY(describe(report).contains(u"待機中 1 件"_s));
    QCOMPARE(entries(f.search), QStringList{u"a.txt"_s}); // owned by "*.txt" all the same
    QCOMPARE(f.launcher.launched, QStringList{u"prog-txt"_s});
    for (const SettleRule &rule : f.files.settleRules) {
        QCOMPARE(rule.listedAt, f.clock.now());
        QCOMPARE(rule.seconds, 5);
    }

    // The writer has closed it: the next pass moves it, by its own rule.
    f.files.stillBeingWritten.clear();
    report = f.pass();
    QCOMPARE(report.filesWaiting, 0);
    QCOMPARE(f.launcher.launched, (QStringList{u"prog-txt"_s, u"prog-txt"_s}));
    QVERIFY(entries(f.search).isEmpty());
}

void tst_DispatchPass::reportShowsNameBytesEscaped()
{
    Fixture f({{text("*"), text("prog")}});
    const QString latin1 = FileNames::decode("caf\xE9.txt");
    const int fd = ::open(FileNames::encode(f.search + u'/' + latin1).constData(), O_WRONLY | O_CREAT, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    f.files.moveFailures.insert(latin1, u"busy"_s);
    const PassReport report = f.pass();
    QCOMPARE(report.failures.size(), 1);
    QVERIFY2(describe(report).contains(u"caf\\xE9.txt を作業フォルダへ移動できません"_s), qPrintable(describe(report)));
}

void tst_DispatchPass::leftoverOfAnEndedProcessIsPutBackAndMoved()
{
    Fixture f({{text("*"), text("prog")}});
    const QString host = QString::fromUtf8(PosixFileSystem().claimPrefix()).section(u'~', 1, 1);
    writeFile(f.search + u"/.fenlow-claim~%1~%2~a.txt"_s.arg(host).arg(TestFolders::endedProcessId()), "a.txt");
    const PassReport report = f.pass();
    QVERIFY(report.failures.isEmpty());
    QCOMPARE(report.filesMoved, 1);
    QCOMPARE(readFile(f.work + "/a.txt"), QByteArray("a.txt"));
    QVERIFY(entries(f.search).isEmpty());
}

void tst_DispatchPass::twoProcessesDispatchEachFileOnce()
{
    // Work folders on another file system than the search folder: every move is a claim and a copy.
    struct stat here { };
    struct stat shm { };
    Fixture f({{text("*"), text("prog")}});
    if (::stat("/dev/shm", &shm) != 0 || ::access("/dev/shm", W_OK) != 0
        || ::stat(QFile::encodeName(f.search).constData(), &here) != 0 || here.st_dev == shm.st_dev) {
        QSKIP("no second writable file system at /dev/shm");
    }
    constexpr int kFiles = 1000;
    QStringList names;
    for (int i = 0; i < kFiles; ++i) {
        names.append(u"file%1.dat"_s.arg(i, 4, 10, QLatin1Char('0')));
    }
    f.drop(names);
    QTemporaryDir other(u"/dev/shm/fenlow-test-XXXXXX"_s);
    const QStringList works{other.filePath(u"work1"_s), other.filePath(u"work2"_s)};
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < 2; ++i) {
        QDir().mkpath(works[i]);
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->setProcessChannelMode(QProcess::ForwardedChannels);
        processes.back()->start(QStringLiteral(FENLOW_PASS_HELPER),
                                {f.database, f.search, works[i], other.filePath(u"starts%1"_s.arg(i))});
    }
    for (auto &process : processes) {
        QVERIFY(process->waitForFinished(120000));
        QCOMPARE(process->exitCode(), 0);
    }

    QStringList arrived;
    for (const QString &work : works) {
        for (const QString &name : entries(work)) {
            QVERIFY2(!name.startsWith(u'.'), qPrintable(name)); // no temporary left
            QCOMPARE(readFile(work + u'/' + name), name.toUtf8());
            arrived.append(name);
        }
    }
    arrived.sort();
    QCOMPARE(arrived, names); // each file once, in one of the work folders
    QVERIFY(entries(f.search).isEmpty()); // and no claim left behind
    qsizetype starts = 0;
    for (int i = 0; i < 2; ++i) {
        starts += readFile(other.filePath(u"starts%1"_s.arg(i))).count('\n');
    }
    QCOMPARE(starts, qsizetype(kFiles));
}

void tst_DispatchPass::usesAnEditOfTheCurrentRule()
{
    Fixture f({{text("*.txt"), text("old-prog")}});
    f.drop({u"a.txt"_s});
    f.store->setValue(RuleStore::BatFile, text("new-prog"));
    const PassReport report = f.pass();
    QVERIFY(report.failures.isEmpty());
    QCOMPARE(f.launcher.launched, QStringList{u"new-prog"_s});
    f.store->UpdateBatch();
    QCOMPARE(TestFolders::readRules(f.database)[0].second.toString(), u"new-prog"_s);
}

void tst_DispatchPass::reportsAnEditThatCannotBeWritten()
{
    Fixture f({{text("a*"), text("prog-a")}, {text("b*"), text("prog-b")}});
    f.drop({u"a1"_s, u"b1"_s});
    f.store->MoveLast();
    f.store->setValue(RuleStore::BatFile, text("prog-b2"));
    TestFolders::execute(f.database, u"delete from FileList where FileName = 'b*'"_s);

    const PassReport report = f.pass();
    // Leaving the edited rule fails to write it; the pass goes on and still uses the edit.
    QCOMPARE(report.failures.size(), 1);
    QCOMPARE(report.failures[0].step, Step::Store);
    QCOMPARE(report.filesMoved, 2);
    QCOMPARE(f.launcher.launched, (QStringList{u"prog-a"_s, u"prog-b2"_s}));
}

QTEST_GUILESS_MAIN(tst_DispatchPass)
#include "tst_dispatchpass.moc"
