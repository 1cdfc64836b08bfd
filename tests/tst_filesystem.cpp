#include "platform/posixfilesystem.h"
#include "support/testfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using TestFolders::entries;
using TestFolders::readFile;
using TestFolders::writeFile;
namespace {

// What a move came to, failures included, so that a table can name it.
enum class Outcome { Moved, SourceGone, Failed };

Outcome outcomeOf(const Result<MoveOutcome> &result)
{
    if (!result) {
        return Outcome::Failed;
    }
    return result.value() == MoveOutcome::Moved ? Outcome::Moved : Outcome::SourceGone;
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

    const Result<MoveOutcome> result = m_files.moveFile(f.source, f.destination);
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

    const Result<MoveOutcome> result = PosixFileSystem::moveByCopy(source, m_work + "/a.txt");
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

    const Result<MoveOutcome> result = PosixFileSystem::moveByCopy(source, m_work + "/a.txt");
    QCOMPARE(outcomeOf(result), Outcome::Failed);
    QCOMPARE(readFile(source), QByteArray("content"));
    QCOMPARE(entries(m_work), QStringList{u"a.txt"_s});

    QCOMPARE(outcomeOf(PosixFileSystem::moveByCopy(m_in + "/missing", m_work + "/missing")), Outcome::SourceGone);
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
    QCOMPARE(outcomeOf(m_files.moveFile(m_in + "/a.txt", other.filePath(u"a.txt"_s))), Outcome::Moved);
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

QTEST_GUILESS_MAIN(tst_FileSystem)
#include "tst_filesystem.moc"
