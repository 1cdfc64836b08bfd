#include "engine/history.h"
#include "support/jetfixtures.h"
#include "support/programfolderfixture.h"
#include "support/testfolders.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <functional>

using namespace Qt::StringLiterals;
using TestFolders::entries;
using TestFolders::readFile;
using TestFolders::writeFile;

namespace {

struct Ran {
    int status = -1;
    QString out;
    QString err;
};

// A program folder with Fenlow.ini naming its search and work folder, and fenlowctl pointed at it.
class Fixture : public ProgramFolderFixture {
public:
    explicit Fixture(const Rules &rules = {{text("*.txt"), text("/bin/true")}, {text("*.csv"), kNull}})
        : ProgramFolderFixture(rules)
    {
        writeIni(u"[Center]\r\nserch=%1\r\nremove=%2\r\nsettle=0\r\n"_s.arg(search, work).toUtf8());
    }
    void writeIni(const QByteArray &content) const { writeFile(dir.filePath(u"Fenlow.ini"_s), content); }
    Ran fenlowctl(const QStringList &arguments) const
    {
        QProcess process;
        process.start(QStringLiteral(FENLOWCTL), QStringList{u"--folder"_s, dir.path()} + arguments);
        if (!process.waitForFinished(60000)) {
            qFatal("fenlowctl did not finish");
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }
};

QJsonObject jsonObject(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

using Arrange = std::function<void(Fixture &)>;

} // namespace

Q_DECLARE_METATYPE(Arrange)

class tst_Fenlowctl : public QObject {
    Q_OBJECT
private slots:
    void status();
    void statusAsJson();
    void passMovesRecordsAndReports();
    void dryRunChangesNothing();
    void rulesFromAShell();
    void setFolders_data();
    void setFolders();
    void historyFilters();
    void couldNotRun_data();
    void couldNotRun();
    void helpAndVersion();
    void runPassesAtEachMinuteAndStopsOnSigterm();
    void importRules();
};

void tst_Fenlowctl::status()
{
    Fixture f;
    const Ran ran = f.fenlowctl({u"status"_s});
    QCOMPARE(ran.status, 0);
    QCOMPARE(ran.out,
             u"検索フォルダ\t%1\n作業フォルダ\t%2\n1\t*.csv\t<null>\n2\t*.txt\t/bin/true\n"_s.arg(f.search, f.work));
}

void tst_Fenlowctl::statusAsJson()
{
    Fixture f;
    const QJsonObject status = jsonObject(f.fenlowctl({u"status"_s, u"--json"_s}).out);
    QCOMPARE(status[u"searchFolder"_s].toString(), f.search);
    QCOMPARE(status[u"workFolder"_s].toString(), f.work);
    QCOMPARE(status[u"settleSeconds"_s].toInt(), 0);
    const QJsonArray rules = status[u"rules"_s].toArray();
    QCOMPARE(rules.size(), 2);
    QCOMPARE(rules[0].toObject()[u"number"_s].toInt(), 1);
    QVERIFY(rules[0].toObject()[u"command"_s].isNull());
    QCOMPARE(rules[1].toObject()[u"pattern"_s].toString(), u"*.txt"_s);
}

void tst_Fenlowctl::passMovesRecordsAndReports()
{
    Fixture f;
    f.drop({u"a.txt"_s, u"b.csv"_s});
    const Ran ran = f.fenlowctl({u"pass"_s, u"--json"_s});
    QCOMPARE(ran.status, 1); // the rule "*.csv" has no program: done, with a failure
    QVERIFY2(ran.err.contains(u"*.csv"_s), qPrintable(ran.err));
    const QJsonObject report = jsonObject(ran.out);
    QCOMPARE(report[u"moved"_s].toInt(), 1);
    QCOMPARE(report[u"started"_s].toInt(), 1);
    QCOMPARE(report[u"failures"_s].toArray().size(), 1);
    const QJsonObject file = report[u"files"_s].toArray()[0].toObject();
    QCOMPARE(file[u"file"_s].toString(), u"a.txt"_s);
    QCOMPARE(file[u"outcome"_s].toString(), u"moved"_s);
    QVERIFY(file[u"processId"_s].toInteger() > 0);
    QCOMPARE(entries(f.work), QStringList{u"a.txt"_s});
    QCOMPARE(entries(f.search), QStringList{u"b.csv"_s});

    // The history holds the move, the start and the failure; a pass with nothing wrong exits 0.
    const Ran history = f.fenlowctl({u"history"_s});
    QCOMPARE(history.status, 0);
    QCOMPARE(history.out.count(u'\n'), 3);
    QVERIFY(history.out.contains(u"moved\ta.txt\t*.txt"_s));
    QVERIFY(history.out.contains(u"started\ta.txt\t*.txt\t/bin/true\t"_s));
    QVERIFY(history.out.contains(u"failed\t\t*.csv\t"_s));
    QCOMPARE(f.fenlowctl({u"rules"_s, u"delete"_s, u"1"_s}).status, 0);
    const Ran clean = f.fenlowctl({u"pass"_s});
    QCOMPARE(clean.status, 0);
    QCOMPARE(clean.out, u"移動 0 件・起動 0 回\n"_s);
}

void tst_Fenlowctl::dryRunChangesNothing()
{
    Fixture f;
    f.drop({u"a.txt"_s, u"b.txt"_s});
    const Ran ran = f.fenlowctl({u"pass"_s, u"--dry-run"_s});
    QCOMPARE(ran.status, 0);
    QStringList lines = ran.out.split(u'\n', Qt::SkipEmptyParts);
    const QString summary = lines.takeLast();
    lines.sort();
    QCOMPARE(lines, (QStringList{u"移動予定\ta.txt\t*.txt\t/bin/true"_s, u"移動予定\tb.txt\t*.txt\t/bin/true"_s}));
    QCOMPARE(summary, u"移動 0 件・起動 0 回"_s);
    QCOMPARE(entries(f.search), (QStringList{u"a.txt"_s, u"b.txt"_s}));
    QVERIFY(entries(f.work).isEmpty());
    QVERIFY(!QFile::exists(f.dir.filePath(History::FileName)));
}

void tst_Fenlowctl::rulesFromAShell()
{
    Fixture f;
    QCOMPARE(f.fenlowctl({u"rules"_s, u"add"_s, u"*.log"_s, u"/opt/tools/import --quiet"_s}).status, 0);
    QCOMPARE(f.fenlowctl({u"rules"_s, u"list"_s}).out,
             u"1\t*.csv\t<null>\n2\t*.log\t/opt/tools/import --quiet\n3\t*.txt\t/bin/true\n"_s);
    QCOMPARE(f.fenlowctl({u"rules"_s, u"delete"_s, u"3"_s}).status, 0);
    QCOMPARE(f.storedPatterns(), (QStringList{u"*.csv"_s, u"*.log"_s}));
    const Ran outOfRange = f.fenlowctl({u"rules"_s, u"delete"_s, u"3"_s});
    QCOMPARE(outOfRange.status, 2);
    QVERIFY(!outOfRange.err.isEmpty());
    QCOMPARE(f.storedPatterns(), (QStringList{u"*.csv"_s, u"*.log"_s}));
}

void tst_Fenlowctl::setFolders_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("status");
    QTest::newRow("registered") << u"/data/受信"_s << 0;
    QTest::newRow("refused: the code page cannot hold it") << u"/data/¥in"_s << 1;
}

void tst_Fenlowctl::setFolders()
{
    QFETCH(QString, search);
    QFETCH(int, status);
    Fixture f;
    const QByteArray before = readFile(f.dir.filePath(u"Fenlow.ini"_s));
    const Ran ran = f.fenlowctl({u"set-folders"_s, search, u"/data/work"_s});
    QCOMPARE(ran.status, status);
    const QJsonObject after = jsonObject(f.fenlowctl({u"status"_s, u"--json"_s}).out);
    if (status == 0) {
        QCOMPARE(after[u"searchFolder"_s].toString(), search);
        QCOMPARE(after[u"workFolder"_s].toString(), u"/data/work"_s);
        QCOMPARE(after[u"settleSeconds"_s].toInt(), 0); // left as it was
    } else {
        QVERIFY(ran.err.contains(search));
        QCOMPARE(readFile(f.dir.filePath(u"Fenlow.ini"_s)), before); // neither key written
    }
}

void tst_Fenlowctl::historyFilters()
{
    Fixture f;
    f.drop({u"order1.txt"_s, u"invoice.txt"_s});
    QCOMPARE(f.fenlowctl({u"pass"_s}).status, 0);
    const Ran orders = f.fenlowctl({u"history"_s, u"--file"_s, u"ORDER"_s, u"--json"_s});
    QCOMPARE(orders.status, 0);
    const QJsonArray list = QJsonDocument::fromJson(orders.out.toUtf8()).array();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[0].toObject()[u"kind"_s].toString(), u"started"_s); // newest first
    QCOMPARE(list[1].toObject()[u"kind"_s].toString(), u"moved"_s);
    QCOMPARE(list[1].toObject()[u"file"_s].toString(), u"order1.txt"_s);
    QCOMPARE(f.fenlowctl({u"history"_s, u"--since"_s, u"2999-01-01T00:00"_s}).out, QString());
    QCOMPARE(f.fenlowctl({u"history"_s, u"--since"_s, u"yesterday"_s}).status, 2);
}

void tst_Fenlowctl::couldNotRun_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Arrange>("arrange");
    QTest::addColumn<QString>("named"); // what the message names
    const Arrange nothing = [](Fixture &) {};
    QTest::newRow("no command") << QStringList{} << nothing << "fenlowctl --help";
    QTest::newRow("unknown command") << QStringList{u"fly"_s} << nothing << "fly";
    QTest::newRow("unknown option") << QStringList{u"status"_s, u"--fast"_s} << nothing << "fast";
    QTest::newRow("missing rule database")
        << QStringList{u"pass"_s} << Arrange([](Fixture &f) { QFile::remove(f.database); }) << "AttFile.mdb";
    QTest::newRow("unreadable Fenlow.ini") << QStringList{u"status"_s} << Arrange([](Fixture &f) {
        QFile::remove(f.dir.filePath(u"Fenlow.ini"_s));
        QDir().mkdir(f.dir.filePath(u"Fenlow.ini"_s));
    }) << "Fenlow.ini";
    QTest::newRow("rules: no action") << QStringList{u"rules"_s} << nothing << "rules";
}

void tst_Fenlowctl::couldNotRun()
{
    QFETCH(QStringList, arguments);
    QFETCH(Arrange, arrange);
    QFETCH(QString, named);
    Fixture f;
    arrange(f);
    const Ran ran = f.fenlowctl(arguments);
    QCOMPARE(ran.status, 2);
    QVERIFY2(ran.err.contains(named), qPrintable(ran.err));
}

void tst_Fenlowctl::helpAndVersion()
{
    Fixture f;
    const Ran help = f.fenlowctl({u"--help"_s});
    QCOMPARE(help.status, 0);
    for (const QString &command : {u"status"_s, u"pass"_s, u"run"_s, u"rules"_s, u"set-folders"_s, u"history"_s}) {
        QVERIFY2(help.out.contains(command), qPrintable(command));
    }
    const Ran version = f.fenlowctl({u"--version"_s});
    QCOMPARE(version.status, 0);
    QVERIFY(version.out.startsWith(u"fenlowctl "_s));
}

void tst_Fenlowctl::runPassesAtEachMinuteAndStopsOnSigterm()
{
    // A minute of one second; many files so that the pass is still going when SIGTERM comes.
    Fixture f({{text("*"), text("/bin/true")}});
    constexpr int kFiles = 1500;
    QStringList names;
    for (int i = 0; i < kFiles; ++i) {
        names.append(u"f%1.dat"_s.arg(i, 5, 10, QLatin1Char('0')));
    }
    f.drop(names);
    QProcess run;
    run.start(QStringLiteral(FENLOWCTL), {u"--folder"_s, f.dir.path(), u"run"_s, u"--minute-seconds"_s, u"1"_s});
    QVERIFY(run.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!entries(f.work).isEmpty(), 20000);
    ::kill(pid_t(run.processId()), SIGTERM);
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 0);
    // The pass in progress finished: every file moved, each with its one start on standard error.
    QCOMPARE(entries(f.work).size(), kFiles);
    QVERIFY(entries(f.search).isEmpty());
    const QString log = QString::fromUtf8(run.readAllStandardError());
    QCOMPARE(log.count(u" 起動\t"_s), kFiles);
    QCOMPARE(log.count(u" 移動\t"_s), kFiles);
    QVERIFY(log.contains(u"処理を終了しました"_s));
}

void tst_Fenlowctl::importRules()
{
    Fixture f;
    const QString jet = JetFixtures::path(u"attfile-v2000.mdb"_s);
    const QStringList before = f.storedPatterns();
    // An existing rule table is only replaced when asked.
    const Ran refused = f.fenlowctl({u"import-rules"_s, jet});
    QCOMPARE(refused.status, 2);
    QVERIFY(refused.err.contains(u"--replace"_s));
    QCOMPARE(f.storedPatterns(), before);
    // A file that is no database changes nothing.
    const Ran bad = f.fenlowctl({u"import-rules"_s, u"--replace"_s, JetFixtures::path(u"attfile-garbage.mdb"_s)});
    QCOMPARE(bad.status, 1);
    QVERIFY(bad.err.contains(u"attfile-garbage.mdb"_s));
    QCOMPARE(f.storedPatterns(), before);
    QVERIFY(!QFile::exists(f.database + u".bak"_s));

    const Ran imported = f.fenlowctl({u"import-rules"_s, u"--replace"_s, jet});
    QCOMPARE(imported.status, 0);
    QVERIFY2(imported.out.contains(u"7 件"_s), qPrintable(imported.out));
    QCOMPARE(f.fenlowctl({u"rules"_s, u"list"_s}).out.count(u'\n'), 7);
    QCOMPARE(f.storedRules()[1].second.toString(), u"/opt/tools/見積処理 --mode=full"_s);
    QVERIFY(f.storedRules()[3].first.isNull());
    QCOMPARE(TestFolders::readRules(f.database + u".bak"_s).size(), before.size()); // the table it replaced
}

QTEST_GUILESS_MAIN(tst_Fenlowctl)
#include "tst_fenlowctl.moc"
