// Times a dispatch pass against the floor of what the system must do, against the shell
// loop an operator would otherwise write, and the listing of many rules against plain scans.
// Not a test: it prints figures. Run: build/bench/bench_dispatchpass [files...]

#include "engine/dispatchpass.h"
#include "engine/history.h"
#include "engine/rulestore.h"
#include "platform/clock.h"
#include "platform/posixfilesystem.h"
#include "platform/posixprocesslauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <dirent.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

extern char **environ;

namespace {

// Files written an hour ago: settled, so the pass's settle and lease checks let them go.
void makeFiles(const QString &folder, int count, const char *suffix)
{
    QDir().mkpath(folder);
    const QDateTime written = QDateTime::currentDateTime().addSecs(-3600);
    for (int i = 0; i < count; ++i) {
        QFile file(u"%1/file%2%3"_s.arg(folder).arg(i, 6, 10, QLatin1Char('0')).arg(QLatin1String(suffix)));
        if (!file.open(QIODevice::WriteOnly) || file.write("payload\n") != 8 || !file.flush()
            || !file.setFileTime(written, QFileDevice::FileModificationTime)) {
            qFatal("cannot create %s", qPrintable(file.fileName()));
        }
    }
}

// A search folder of count files and an empty work folder, both under root.
struct Folders {
    QString in;
    QString work;
};

Folders prepare(const QString &root, const QString &name, int count, const char *suffix)
{
    Folders folders{root + u'/' + name + u"-in"_s, root + u'/' + name + u"-work"_s};
    makeFiles(folders.in, count, suffix);
    QDir().mkpath(folders.work);
    return folders;
}

void makeDatabase(const QString &path, const QList<QPair<QString, QString>> &rules)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"bench"_s);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(u"create table FileList (FileName text, BatFile text)"_s);
        db.transaction();
        for (const auto &rule : rules) {
            query.prepare(u"insert into FileList values (?, ?)"_s);
            query.addBindValue(rule.first);
            query.addBindValue(rule.second);
            query.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(u"bench"_s);
}

void reapChildren()
{
    while (::waitpid(-1, nullptr, 0) > 0) { }
}

double seconds(QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// One pass over the rules of database, timed; the real file system, launcher and clock, with
// the settle time of 2 seconds and the lease check on, and the pass written into the history,
// as the program runs them.
QPair<double, PassReport> timedPass(const QString &root, const QString &database, const QString &in,
                                    const QString &work)
{
    RuleStore store(database);
    store.Open();
    PosixFileSystem files;
    PosixProcessLauncher launcher(root);
    SystemClock clock;
    HistoryRecorder history(root);
    QElapsedTimer timer;
    timer.start();
    const PassReport report = runDispatchPass(store, {in, work, files, launcher, clock, 2});
    if (const QString problem = history.record(report, in, work); !problem.isEmpty()) {
        qFatal("%s", qPrintable(problem));
    }
    return {seconds(timer), report};
}

// (a) one pass over count matching files, one rule launching /bin/true.
double timePass(const QString &root, int count)
{
    const auto [in, work] = prepare(root, u"pass"_s, count, ".txt");
    makeDatabase(root + "/pass.mdb", {{u"*.txt"_s, u"/bin/true"_s}});
    const auto [elapsed, report] = timedPass(root, root + "/pass.mdb", in, work);
    if (report.filesMoved != count || report.programsLaunched != count || !report.failures.isEmpty()) {
        qFatal("pass moved %d and launched %d of %d", report.filesMoved, report.programsLaunched, count);
    }
    return elapsed;
}

// (b) the floor: rename and posix_spawn of /bin/true, without waiting.
double timeFloor(const QString &root, int count)
{
    const auto [in, work] = prepare(root, u"floor"_s, count, ".txt");
    QList<QByteArray> names;
    DIR *dir = ::opendir(QFile::encodeName(in).constData());
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') {
            names.append(entry->d_name);
        }
    }
    ::closedir(dir);
    const QByteArray from = QFile::encodeName(in) + '/';
    const QByteArray to = QFile::encodeName(work) + '/';
    char program[] = "/bin/true";
    char *argv[] = {program, nullptr};
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &name : names) {
        if (::rename((from + name).constData(), (to + name).constData()) != 0) {
            qFatal("rename failed");
        }
        pid_t pid = 0;
        if (::posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
            qFatal("posix_spawn failed");
        }
    }
    const double elapsed = seconds(timer);
    reapChildren();
    return elapsed;
}

// (c) the shell loop an operator would write instead.
double timeShell(const QString &root, int count)
{
    const auto [in, work] = prepare(root, u"shell"_s, count, ".txt");
    // cp, rm and the background start of the program, once per file.
    const QString loop = u"for f in \"$1\"/*.txt; do cp \"$f\" \"$2\"/; rm \"$f\"; /bin/true & done; wait"_s;
    QElapsedTimer timer;
    timer.start();
    QProcess shell;
    shell.start(u"/bin/sh"_s, {u"-c"_s, loop, u"sh"_s, in, work});
    shell.waitForFinished(-1);
    const double elapsed = seconds(timer);
    if (QDir(in).entryList(QDir::Files).size() != 0) {
        qFatal("shell loop left files");
    }
    return elapsed;
}

// (d) 100 rules that match none of count files, against 100 plain readdir scans.
QPair<double, double> timeListing(const QString &root, int count, int rules)
{
    const auto [in, work] = prepare(root, u"scan"_s, count, ".dat");
    QList<QPair<QString, QString>> table;
    for (int i = 0; i < rules; ++i) {
        table.append({u"rule%1_*.txt"_s.arg(i, 3, 10, QLatin1Char('0')), u"/bin/true"_s});
    }
    makeDatabase(root + "/scan.mdb", table);
    const auto [pass, report] = timedPass(root, root + "/scan.mdb", in, work);
    if (report.filesMoved != 0) {
        qFatal("a rule matched");
    }

    const QByteArray folder = QFile::encodeName(in);
    long entries = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rules; ++i) {
        DIR *dir = ::opendir(folder.constData());
        while (::readdir(dir)) {
            ++entries;
        }
        ::closedir(dir);
    }
    const double scans = seconds(timer);
    if (entries < long(count) * rules) {
        qFatal("scan saw too few entries");
    }
    return {pass, scans};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<int> counts;
    for (int i = 1; i < argc; ++i) {
        counts.append(QString::fromLocal8Bit(argv[i]).toInt());
    }
    if (counts.isEmpty()) {
        counts = {1000, 10000};
    }

    for (int count : counts) {
        QTemporaryDir root;
        const double pass = timePass(root.path(), count);
        reapChildren();
        const double floor = timeFloor(root.path(), count);
        const double shell = timeShell(root.path(), count);
        std::printf("%6d files: pass %.3f s, floor %.3f s, shell %.3f s; pass/floor %.2f, shell/pass %.2f\n", count,
                    pass, floor, shell, pass / floor, shell / pass);
        std::fflush(stdout);
    }

    QTemporaryDir root;
    const auto [pass, scans] = timeListing(root.path(), 10000, 100);
    std::printf("100 rules over 10000 unmatched files: pass %.3f s, 100 readdir scans %.3f s; pass/readdir %.2f\n",
                pass, scans, pass / scans);
    return 0;
}
