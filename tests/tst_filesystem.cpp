#include "platform/filenames.h"
#include "platform/posixfilesystem.h"
#include "support/testfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
namespace {

// What a move came to, failures included, so that a table can name it.
enum class Outcome { Moved, SourceGone, Waiting, Failed };

Outcome outcomeOf(const Result<MoveOutcome> &result)
{
    if (!result) {
        return Outcome::Failed;
    }
    switch (result.value()) {
    case MoveOutcome::Moved:
        return Outcome::Moved;
    case MoveOutcome::SourceGone:
        return Outcome::SourceGone;
    case MoveOutcome::Waiting:
        return Outcome::Waiting;
    }
    return Outcome::Failed;
}

// The folders of a move: a.txt in "in", to be moved to "work", and a file a link may point at.
struct MoveFolders {
    QString source;
    QString destination;
    QString work;
    QString linkTarget;
};
using Arrange = std::function<void(const MoveFolders &)>;

} // namespace

Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(Arrange)

class tst_FileSystem : public QObject {
    Q_OBJECT
private slots:
    void init();
    void listsPlainFilesOnly();
    void listingOfAMissingFolderIsEmpty();
    void move_data();
    void move();
    void moveByCopyKeepsTheFile();
    void moveByCopyFailureLeavesNoTrace();
    void moveAcrossFileSystems();
    void sameFolder_data();
    void sameFolder();
    void fileOpenForWritingWaits();
    void settleRule_data();
    void settleRule();
    void namesMoveWithTheirBytes();
    void linkOrFolderInTheFilesPlace_data();
    void linkOrFolderInTheFilesPlace();
    void claimIsOneProcesssOnly();
    void recoverAbandoned_data();
    void recoverAbandoned();
    void fullWorkFolderKeepsTheFile();
    void readOnlySearchFolderKeepsTheFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_in;
    QString m_work;
    PosixFileSystem m_files;
};

void tst_FileSystem::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_in = m_dir->filePath(u"in"_s);
    m_work = m_dir->filePath(u"work"_s);
    QDir().mkpath(m_in);
    QDir().mkpath(m_work);
}

void tst_FileSystem::listsPlainFilesOnly()
{
    writeFile(m_in + "/a.txt");
    writeFile(m_in + "/B.TXT");
    writeFile(m_in + "/c.csv");
    writeFile(m_in + "/.hidden.txt");
    QDir(m_in).mkdir(u"folder.txt"_s);
    QVERIFY(QFile::link(m_in + "/a.txt", m_in + "/link.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(m_in + "/fifo.txt").constData(), 0600), 0);

    QStringList names = m_files.listPlainFiles(m_in, u"*.txt"_s);
    names.sort();
    QCOMPARE(names, (QStringList{u"B.TXT"_s, u"a.txt"_s}));
    names = m_files.listPlainFiles(m_in + "/", u"*"_s);
    names.sort();
    QCOMPARE(names, (QStringList{u"B.TXT"_s, u"a.txt"_s, u"c.csv"_s}));
}

void tst_FileSystem::listingOfAMissingFolderIsEmpty()
{
    QVERIFY(m_files.listPlainFiles(m_dir->filePath(u"missing"_s), u"*"_s).isEmpty());
    writeFile(m_dir->filePath(u"file"_s));
    QVERIFY(m_files.listPlainFiles(m_dir->filePath(u"file"_s), u"*"_s).isEmpty());
}

void tst_FileSystem::move_data()
{
    QTest::addColumn<Arrange>("arrange"); // what stands at the destination, or does not, beforehand
    QTest::addColumn<Outcome>("outcome");

    QTest::newRow("plain move") << Arrange([](const MoveFolders &) {}) << Outcome::Moved;
    QTest::newRow("same-named file replaced")
        << Arrange([](const MoveFolders &f) { writeFile(f.destination, "old content"); }) << Outcome::Moved;
    QTest::newRow("link at the destination replaced, not followed")
        << Arrange([](const MoveFolders &f) { QVERIFY(QFile::link(f.linkTarget, f.destination)); }) << Outcome::Moved;
    QTest::newRow("folder at the destination")
        << Arrange([](const MoveFolders &f) { QDir().mkdir(f.destination); }) << Outcome::Failed;
    QTest::newRow("work folder missing") << Arrange([](const MoveFolders &f) { QDir(f.work).removeRecursively(); })
                                         << Outcome::Failed;
    QTest::newRow("work folder is a file") << Arrange([](const MoveFolders &f) {
        QDir(f.work).removeRecursively();
        writeFile(f.work, "not a folder");
    }) << Outcome::Failed;
    QTest::newRow("source gone") << Arrange([](const MoveFolders &f) { QFile::remove(f.source); })
                                 << Outcome::SourceGone;
}

void tst_FileSystem::move()
{
    QFETCH(Arrange, arrange);
    QFETCH(Outcome, outcome);

    const MoveFolders f{m_in + "/a.txt", m_work + "/a.txt", m_work, m_dir->filePath(u"target"_s)};
    writeFile(f.source, "new content");
    writeFile(f.linkTarget, "target content");
    arrange(f);

    const Result<MoveOutcome> result = m_files.moveFile(f.source, f.destination, {});
    QCOMPARE(outcomeOf(result), outcome);
    QCOMPARE(readFile(f.linkTarget), QByteArray("target content"));
    if (outcome == Outcome::Moved) {
        QVERIFY(!QFile::exists(f.source));
        QVERIFY(!QFileInfo(f.destination).isSymLink());
        QCOMPARE(readFile(f.destination), QByteArray("new content"));
    } else if (outcome == Outcome::Failed) {
        QVERIFY(!result.reason().isEmpty());
        QCOMPARE(readFile(f.source), QByteArray("new content"));
    }
}

void tst_FileSystem::moveByCopyKeepsTheFile()
{
    const QString source = m_in + "/a.txt";
    const QByteArray content(300000, 'x');
    writeFile(source, content);
    QVERIFY(QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QDateTime modified = QFileInfo(source).lastModified();
    const QFile::Permissions permissions = QFileInfo(source).permissions();
    writeFile(m_work + "/a.txt", "old");

    const Result<MoveOutcome> result = m_files.moveByCopy(source, m_work + "/a.txt");
    QCOMPARE(outcomeOf(result), Outcome::Moved);
    QVERIFY(!QFile::exists(source));
    QCOMPARE(readFile(m_work + "/a.txt"), content);
    QCOMPARE(QFileInfo(m_work + "/a.txt").permissions(), permissions);
    QCOMPARE(QFileInfo(m_work + "/a.txt").lastModified(), modified);
    QCOMPARE(entries(m_work), QStringList{u"a.txt"_s});
}

void tst_FileSystem::moveByCopyFailureLeavesNoTrace()
{
    const QString source = m_in + "/a.txt";
    writeFile(source, "content");
    QDir(m_work).mkdir(u"a.txt"_s); // the copy cannot be renamed over a folder

    const Result<MoveOutcome> result = m_files.moveByCopy(source, m_work + "/a.txt");
    QCOMPARE(outcomeOf(result), Outcome::Failed);
    QCOMPARE(readFile(source), QByteArray("content"));
    QCOMPARE(entries(m_work), QStringList{u"a.txt"_s});

    QCOMPARE(outcomeOf(m_files.moveByCopy(m_in + "/missing", m_work + "/missing")), Outcome::SourceGone);
}

void tst_FileSystem::moveAcrossFileSystems()
{
    struct stat here { };
    struct stat shm { };
    if (::stat("/dev/shm", &shm) != 0 || ::access("/dev/shm", W_OK) != 0
        || ::stat(QFile::encodeName(m_in).constData(), &here) != 0 || here.st_dev == shm.st_dev) {
        QSKIP("no second writable file system at /dev/shm");
    }
    QTemporaryDir other(u"/dev/shm/fenlow-test-XXXXXX"_s);
    QVERIFY(other.isValid());
    writeFile(m_in + "/a.txt", "across");
    QCOMPARE(outcomeOf(m_files.moveFile(m_in + "/a.txt", other.filePath(u"a.txt"_s), {})), Outcome::Moved);
    QVERIFY(!QFile::exists(m_in + "/a.txt"));
    QCOMPARE(readFile(other.filePath(u"a.txt"_s)), QByteArray("across"));
    QCOMPARE(entries(other.path()), QStringList{u"a.txt"_s});
}

void tst_FileSystem::sameFolder_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("expected");
    QTest::newRow("same text") << "in"
                               << "in" << true;
    QTest::newRow("trailing separator") << "in"
                                        << "in/" << true;
    QTest::newRow("through a dot") << "in"
                                   << "work/../in" << true;
    QTest::newRow("through a link") << "in"
                                    << "link" << true;
    QTest::newRow("different folders") << "in"
                                       << "work" << false;
    QTest::newRow("missing folders") << "missing"
                                     << "missing" << false;
}

void tst_FileSystem::sameFolder()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, expected);
    QVERIFY(QFile::link(m_in, m_dir->filePath(u"link"_s)));
    QCOMPARE(m_files.isSameFolder(m_dir->filePath(first), m_dir->filePath(second)), expected);
}

void tst_FileSystem::fileOpenForWritingWaits()
{
    const QString source = m_in + "/a.txt";
    QFile writer(source);
    QVERIFY(writer.open(QIODevice::WriteOnly));
    writer.write("first half");
    writer.flush();
    QCOMPARE(outcomeOf(m_files.moveFile(source, m_work + "/a.txt", {})), Outcome::Waiting);
    writer.write(", second half");
    writer.close();
    QCOMPARE(outcomeOf(m_files.moveFile(source, m_work + "/a.txt", {})), Outcome::Moved);
    QCOMPARE(readFile(m_work + "/a.txt"), QByteArray("first half, second half"));
}

void tst_FileSystem::settleRule_data()
{
    QTest::addColumn<int>("modifiedMs"); // relative to the listing
    QTest::addColumn<int>("seconds");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("written at the listing") << 0 << 2 << Outcome::Waiting;
    QTest::newRow("a second before") << -1000 << 2 << Outcome::Waiting;
    QTest::newRow("slightly in the future") << 1500 << 2 << Outcome::Waiting;
    QTest::newRow("three seconds before") << -3000 << 2 << Outcome::Moved;
    QTest::newRow("far in the future") << 5000 << 2 << Outcome::Moved;
    QTest::newRow("rule turned off") << 0 << 0 << Outcome::Moved;
}

void tst_FileSystem::settleRule()
{
    QFETCH(int, modifiedMs);
    QFETCH(int, seconds);
    QFETCH(Outcome, outcome);
    const QString source = m_in + "/a.txt";
    writeFile(source, "content");
    const QDateTime listedAt = QDateTime::currentDateTime().addSecs(-3600);
    QFile file(source);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(listedAt.addMSecs(modifiedMs), QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(outcomeOf(m_files.moveFile(source, m_work + "/a.txt", {listedAt, seconds})), outcome);
    QCOMPARE(QFile::exists(source), outcome == Outcome::Waiting);
}

void tst_FileSystem::namesMoveWithTheirBytes()
{
    // Latin-1, code page 932 and a newline: each name keeps its bytes through listing and move.
    const QList<QByteArray> names{QByteArray("caf\xE9.txt"), QByteArray("\x8E\xF3\x90\x4D.txt"),
                                  QByteArray("two\nlines.txt")};
    const QByteArray in = QFile::encodeName(m_in);
    for (const QByteArray &name : names) {
        const int fd = ::open((in + '/' + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, name.constData(), size_t(name.size())), ssize_t(name.size()));
        ::close(fd);
    }
    const QStringList listed = m_files.listPlainFiles(m_in, u"*.txt"_s);
    QCOMPARE(listed.size(), names.size());
    for (const QString &name : listed) {
        QCOMPARE(outcomeOf(m_files.moveFile(m_in + u'/' + name, m_work + u'/' + name, {})), Outcome::Moved);
    }
    QVERIFY(m_files.listPlainFiles(m_in, u"*"_s).isEmpty());
    const QByteArray work = QFile::encodeName(m_work);
    for (const QByteArray &name : names) {
        QFile moved;
        QVERIFY(moved.open(::open((work + '/' + name).constData(), O_RDONLY), QIODevice::ReadOnly,
                           QFileDevice::AutoCloseHandle));
        QCOMPARE(moved.readAll(), name);
    }
    QCOMPARE(FileNames::printable(FileNames::decode(names[0])), u"caf\\xE9.txt"_s);
    QCOMPARE(FileNames::printable(FileNames::decode(names[2])), u"two\\x0Alines.txt"_s);
}

void tst_FileSystem::linkOrFolderInTheFilesPlace_data()
{
    QTest::addColumn<Arrange>("arrange"); // what stands at a.txt when the move comes
    QTest::newRow("a symbolic link") << Arrange(
        [](const MoveFolders &f) { QVERIFY(QFile::link(f.linkTarget, f.source)); });
    QTest::newRow("a folder") << Arrange([](const MoveFolders &f) { QVERIFY(QDir().mkdir(f.source)); });
}

void tst_FileSystem::linkOrFolderInTheFilesPlace()
{
    QFETCH(Arrange, arrange);
    const MoveFolders f{m_in + "/a.txt", m_work + "/a.txt", m_work, m_dir->filePath(u"target"_s)};
    writeFile(f.linkTarget, "target content");
    arrange(f);
    QCOMPARE(outcomeOf(m_files.moveFile(f.source, f.destination, {})), Outcome::Failed);
    QCOMPARE(outcomeOf(m_files.moveByCopy(f.source, f.destination)), Outcome::Failed);
    QVERIFY(QFileInfo::exists(f.source));
    QVERIFY(!QFileInfo::exists(f.destination));
    QCOMPARE(readFile(f.linkTarget), QByteArray("target content"));
    QCOMPARE(entries(m_in), QStringList{u"a.txt"_s});
}

void tst_FileSystem::claimIsOneProcesssOnly()
{
    // Another process claimed the file between this one's listing and its move.
    const QString source = m_in + "/a.txt";
    writeFile(source, "content");
    PosixFileSystem other;
    const QString claimed = m_in + u'/' + QString::fromUtf8(other.claimPrefix()) + u"a.txt"_s;
    QVERIFY(QFile::rename(source, claimed));
    QCOMPARE(outcomeOf(m_files.moveByCopy(source, m_work + "/a.txt")), Outcome::SourceGone);
    QCOMPARE(entries(m_work), QStringList{});
}

void tst_FileSystem::recoverAbandoned_data()
{
    QTest::addColumn<QString>("left"); // hidden name left in the folder, with HOST and PID to fill in
    QTest::addColumn<bool>("inWorkFolder");
    QTest::addColumn<bool>("nameTaken"); // a new a.txt arrived meanwhile
    QTest::addColumn<QStringList>("searchAfter");
    QTest::addColumn<QStringList>("workAfter");
    QTest::addColumn<int>("problems");
    const QString claim = u".fenlow-claim~HOST~PID~a.txt"_s;
    const QString temporary = u".fenlow-move~HOST~PID~Ab12Cd"_s;
    QTest::newRow("claim of an ended process: named back")
        << claim << false << false << QStringList{"a.txt"} << QStringList{} << 0;
    QTest::newRow("claim whose name is taken: kept, reported")
        << claim << false << true << QStringList{claim, "a.txt"} << QStringList{} << 1;
    QTest::newRow("claim of a running process: left")
        << u".fenlow-claim~HOST~1~a.txt"_s << false << false << QStringList{".fenlow-claim~HOST~1~a.txt"}
        << QStringList{} << 0;
    QTest::newRow("claim of another host: left")
        << u".fenlow-claim~elsewhere~PID~a.txt"_s << false << false << QStringList{".fenlow-claim~elsewhere~PID~a.txt"}
        << QStringList{} << 0;
    QTest::newRow("copy of an ended process: removed")
        << temporary << true << false << QStringList{} << QStringList{} << 0;
    QTest::newRow("copy of a running process: left") << u".fenlow-move~HOST~1~Ab12Cd"_s << true << false
                                                     << QStringList{} << QStringList{".fenlow-move~HOST~1~Ab12Cd"} << 0;
}

void tst_FileSystem::recoverAbandoned()
{
    QFETCH(QString, left);
    QFETCH(bool, inWorkFolder);
    QFETCH(bool, nameTaken);
    QFETCH(QStringList, searchAfter);
    QFETCH(QStringList, workAfter);
    QFETCH(int, problems);

    // A process that ran on this host and has ended: one we started and waited for.
    const QString pid = QString::number(TestFolders::endedProcessId());
    const QString host = QString::fromUtf8(m_files.claimPrefix()).section(u'~', 1, 1);
    const auto fill = [&](QString name) { return name.replace(u"HOST"_s, host).replace(u"PID"_s, pid); };
    writeFile((inWorkFolder ? m_work : m_in) + u'/' + fill(left), "claimed content");
    if (nameTaken) {
        writeFile(m_in + "/a.txt", "newer file");
    }
    for (QString &name : searchAfter) {
        name = fill(name);
    }
    for (QString &name : workAfter) {
        name = fill(name);
    }
    searchAfter.sort();

    const QStringList reported = m_files.recoverAbandoned(m_in, m_work);
    QCOMPARE(reported.size(), problems);
    QCOMPARE(entries(m_in), searchAfter);
    QCOMPARE(entries(m_work), workAfter);
    if (!inWorkFolder && !nameTaken && searchAfter == QStringList{u"a.txt"_s}) {
        QCOMPARE(readFile(m_in + "/a.txt"), QByteArray("claimed content"));
    }
}

namespace {

// A tmpfs of its own, mounted for one test: only root can, and only where mounting is allowed.
class SmallFileSystem {
public:
    SmallFileSystem(const QString &path, const QString &options)
        : m_path(path)
    {
        QDir().mkpath(path);
        m_mounted = QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, options, u"tmpfs"_s, path}) == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted) {
            QProcess::execute(u"umount"_s, {m_path});
        }
    }
    [[nodiscard]] bool mounted() const { return m_mounted; }
    [[nodiscard]] bool remountReadOnly() const
    {
        return QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, m_path}) == 0;
    }

private:
    QString m_path;
    bool m_mounted = false;
};

} // namespace

void tst_FileSystem::fullWorkFolderKeepsTheFile()
{
    if (::geteuid() != 0) {
        QSKIP("a size-limited file system needs root to mount");
    }
    SmallFileSystem small(m_dir->filePath(u"small"_s), u"size=64k"_s);
    if (!small.mounted()) {
        QSKIP("tmpfs cannot be mounted here");
    }
    const QString source = m_in + "/big.dat";
    const QByteArray content(256 * 1024, 'x');
    writeFile(source, content);
    const QString destination = m_dir->filePath(u"small/big.dat"_s);

    const Result<MoveOutcome> result = m_files.moveFile(source, destination, {});
    QCOMPARE(outcomeOf(result), Outcome::Failed);
    QVERIFY(!result.reason().isEmpty());
    QCOMPARE(readFile(source), content);
    QCOMPARE(entries(m_in), QStringList{u"big.dat"_s}); // no claim left
    QCOMPARE(entries(m_dir->filePath(u"small"_s)), QStringList{}); // no copy, no temporary

    // Space freed: the next move takes it.
    writeFile(source, QByteArray(16 * 1024, 'y'));
    QCOMPARE(outcomeOf(m_files.moveFile(source, destination, {})), Outcome::Moved);
    QCOMPARE(readFile(destination), QByteArray(16 * 1024, 'y'));
}

void tst_FileSystem::readOnlySearchFolderKeepsTheFile()
{
    if (::geteuid() != 0) {
        QSKIP("a read-only file system needs root to mount");
    }
    const QString search = m_dir->filePath(u"readonly"_s);
    SmallFileSystem readOnly(search, u"size=1m"_s);
    if (!readOnly.mounted()) {
        QSKIP("tmpfs cannot be mounted here");
    }
    writeFile(search + "/a.txt", "content");
    QVERIFY(readOnly.remountReadOnly());
    // The work folder is on another file system than this tmpfs: the claim is refused first.
    const Result<MoveOutcome> result = m_files.moveFile(search + "/a.txt", m_work + "/a.txt", {});
    QCOMPARE(outcomeOf(result), Outcome::Failed);
    QCOMPARE(readFile(search + "/a.txt"), QByteArray("content"));
    QCOMPARE(entries(m_work), QStringList{});

    // And a read-only work folder on a file system of its own: the file goes back under its name.
    writeFile(m_in + "/b.txt", "content b");
    const Result<MoveOutcome> intoReadOnly = m_files.moveFile(m_in + "/b.txt", search + "/b.txt", {});
    QCOMPARE(outcomeOf(intoReadOnly), Outcome::Failed);
    QCOMPARE(entries(m_in), QStringList{u"b.txt"_s});
    QCOMPARE(readFile(m_in + "/b.txt"), QByteArray("content b"));
}

QTEST_GUILESS_MAIN(tst_FileSystem)
#include "tst_filesystem.moc"
