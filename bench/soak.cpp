// A soak run: producers write files of random sizes into the search folder, some of them
// slowly over several seconds, while a pass runs every second against a real program that
// notes each start. At the end every file must be in the work folder exactly once with its
// original content, the starts must equal the files, and no hidden claim or copy may be left.
// Not a test: it prints figures and exits 1 on any fault. Run: build/bench/soak [seconds]

#include "engine/dispatchpass.h"
#include "engine/rulestore.h"
#include "platform/clock.h"
#include "platform/posixfilesystem.h"
#include "platform/posixprocesslauncher.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

struct Manifest {
    std::mutex mutex;
    QHash<QString, QByteArray> hashes; // name -> SHA-256 of what was written
};

// Writes files until stop: most at once, some in pieces over several seconds, the way a slow
// producer or a copy over a network does.
void produce(int id, const QString &search, std::atomic<bool> &stop, Manifest &manifest)
{
    QRandomGenerator random(quint32(id) * 7919u + 17u);
    for (int n = 0; !stop; ++n) {
        const QString name = u"p%1-%2.dat"_s.arg(id).arg(n, 6, 10, QLatin1Char('0'));
        const qsizetype size = random.bounded(4) == 0 ? random.bounded(1 << 20) : random.bounded(1 << 14);
        QByteArray content(size, Qt::Uninitialized);
        for (char &c : content) {
            c = char(random.bounded(256));
        }
        const bool slow = random.bounded(5) == 0;
        QFile file(search + u'/' + name);
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(file.fileName()));
            std::exit(1);
        }
        const qsizetype pieces = slow ? 1 + random.bounded(8) : 1;
        for (qsizetype piece = 0; piece < pieces; ++piece) {
            const qsizetype from = content.size() * piece / pieces;
            const qsizetype to = content.size() * (piece + 1) / pieces;
            file.write(content.constData() + from, to - from);
            file.flush();
            if (slow) {
                QThread::msleep(200 + random.bounded(500));
            }
        }
        file.close();
        {
            const std::lock_guard lock(manifest.mutex);
            manifest.hashes.insert(name, QCryptographicHash::hash(content, QCryptographicHash::Sha256));
        }
        QThread::msleep(random.bounded(50));
    }
}

bool makeDatabase(const QString &path, const QString &command)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"soak"_s);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery query(db);
        ok = ok && query.exec(u"create table FileList (FileName text, BatFile text)"_s);
        query.prepare(u"insert into FileList values (?, ?)"_s);
        query.addBindValue(u"*"_s);
        query.addBindValue(command);
        ok = ok && query.exec();
        db.close();
    }
    QSqlDatabase::removeDatabase(u"soak"_s);
    return ok;
}

QStringList hiddenEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Hidden | QDir::Files | QDir::NoDotAndDotDot).filter(u".fenlow"_s);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int duration = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;
    constexpr int kProducers = 4;

    QTemporaryDir root;
    // The work folder on another file system when there is one: every move is a claim and a copy.
    struct stat here { };
    struct stat shm { };
    const bool acrossFileSystems = ::stat("/dev/shm", &shm) == 0 && ::access("/dev/shm", W_OK) == 0
        && ::stat(QFile::encodeName(root.path()).constData(), &here) == 0 && here.st_dev != shm.st_dev;
    QTemporaryDir workRoot(acrossFileSystems ? u"/dev/shm/fenlow-soak-XXXXXX"_s : root.filePath(u"work-XXXXXX"_s));
    const QString search = root.filePath(u"search"_s);
    const QString work = workRoot.filePath(u"work"_s);
    const QString starts = root.filePath(u"starts.log"_s);
    QDir().mkpath(search);
    QDir().mkpath(work);
    if (!makeDatabase(root.filePath(u"AttFile.mdb"_s), u"/bin/sh -c \"echo started >> '%1'\""_s.arg(starts))) {
        std::fprintf(stderr, "cannot create the rule database\n");
        return 1;
    }

    RuleStore rules(root.filePath(u"AttFile.mdb"_s));
    rules.Open();
    PosixFileSystem files;
    PosixProcessLauncher launcher(root.path());
    SystemClock clock;
    Manifest manifest;
    std::atomic<bool> stop = false;
    std::vector<std::thread> producers;
    for (int id = 0; id < kProducers; ++id) {
        producers.emplace_back(produce, id, search, std::ref(stop), std::ref(manifest));
    }

    int passes = 0;
    int waitedMost = 0;
    long moved = 0;
    int failures = 0;
    QElapsedTimer elapsed;
    elapsed.start();
    const auto pass = [&] {
        const PassReport report = runDispatchPass(rules, {search, work, files, launcher, clock, 2});
        ++passes;
        moved += report.filesMoved;
        waitedMost = std::max(waitedMost, report.filesWaiting);
        for (const PassFailure &failure : report.failures) {
            std::fprintf(stderr, "pass failure: %s\n", qPrintable(describe(failure)));
            ++failures;
        }
    };
    while (elapsed.elapsed() < qint64(duration) * 1000) {
        pass();
        QThread::msleep(1000);
    }
    stop = true;
    for (std::thread &producer : producers) {
        producer.join();
    }
    // The files written last settle, then go.
    for (int extra = 0; extra < 30 && !files.listPlainFiles(search, u"*"_s).isEmpty(); ++extra) {
        QThread::msleep(1000);
        pass();
    }
    while (::waitpid(-1, nullptr, 0) > 0) { }

    int faults = failures;
    const QStringList left = files.listPlainFiles(search, u"*"_s);
    if (!left.isEmpty()) {
        std::fprintf(stderr, "%lld files never left the search folder\n", static_cast<long long>(left.size()));
        ++faults;
    }
    const QStringList arrived = QDir(work).entryList(QDir::Files);
    qint64 bytes = 0;
    for (auto it = manifest.hashes.cbegin(); it != manifest.hashes.cend(); ++it) {
        QFile file(work + u'/' + it.key());
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "missing in the work folder: %s\n", qPrintable(it.key()));
            ++faults;
            continue;
        }
        const QByteArray content = file.readAll();
        bytes += content.size();
        if (QCryptographicHash::hash(content, QCryptographicHash::Sha256) != it.value()) {
            std::fprintf(stderr, "content differs: %s\n", qPrintable(it.key()));
            ++faults;
        }
    }
    if (arrived.size() != manifest.hashes.size()) {
        std::fprintf(stderr, "%lld files arrived for %lld written\n", static_cast<long long>(arrived.size()),
                     static_cast<long long>(manifest.hashes.size()));
        ++faults;
    }
    QFile startLog(starts);
    const qsizetype started = startLog.open(QIODevice::ReadOnly) ? startLog.readAll().count('\n') : 0;
    if (started != manifest.hashes.size() || moved != manifest.hashes.size()) {
        std::fprintf(stderr, "%lld programs started and %ld files moved for %lld files\n",
                     static_cast<long long>(started), moved, static_cast<long long>(manifest.hashes.size()));
        ++faults;
    }
    const QStringList hidden = hiddenEntries(search) + hiddenEntries(work);
    if (!hidden.isEmpty()) {
        std::fprintf(stderr, "left behind: %s\n", qPrintable(hidden.join(u", "_s)));
        ++faults;
    }
    std::printf("soak %d s%s: %lld files (%.1f MiB) by %d producers, %d passes, %lld starts, at most %d waiting in "
                "one pass; %s\n",
                duration, acrossFileSystems ? " across file systems" : "",
                static_cast<long long>(manifest.hashes.size()), double(bytes) / (1 << 20), kProducers, passes,
                static_cast<long long>(started), waitedMost, faults == 0 ? "every file once, whole" : "FAULTS");
    return faults == 0 ? 0 : 1;
}
