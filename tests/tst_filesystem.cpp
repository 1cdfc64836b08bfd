#include "platform/posixfilesystem.h"
#include "support/testfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using TestFolders::entries;
using TestFolders::readFile;
using TestFolders::writeFile;
using Outcome = MoveResult::Outcome;

Q_DECLARE_METATYPE(MoveResult::Outcome)

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
    m_in = m_dir->filePath(QStringLiteral("in"));
    m_work = m_dir->filePath(QStringLiteral("work"));
    QDir().mkpath(m_in);
    QDir().mkpath(m_work);
}

void tst_FileSystem::listsPlainFilesOnly()
{
    writeFile(m_in + "/a.txt");
    writeFile(m_in + "/B.TXT");
    writeFile(m_in + "/c.csv");
    writeFile(m_in + "/.hidden.txt");
    QDir(m_in).mkdir(QStringLiteral("folder.txt"));
    QVERIFY(QFile::link(m_in + "/a.txt", m_in + "/link.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(m_in + "/fifo.txt").constData(), 0600), 0);

    QStringList names = m_files.listPlainFiles(m_in, QStringLiteral("*.txt"));
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("B.TXT"), QStringLiteral("a.txt")}));
    names = m_files.listPlainFiles(m_in + "/", QStringLiteral("*"));
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("B.TXT"), QStringLiteral("a.txt"), QStringLiteral("c.csv")}));
}

void tst_FileSystem::listingOfAMissingFolderIsEmpty()
{
    QVERIFY(m_files.listPlainFiles(m_dir->filePath(QStringLiteral("missing")), QStringLiteral("*")).isEmpty());
    writeFile(m_dir->filePath(QStringLiteral("file")));
    QVERIFY(m_files.listPlainFiles(m_dir->filePath(QStringLiteral("file")), QStringLiteral("*")).isEmpty());
}

void tst_FileSystem::move_data()
{
    QTest::addColumn<QString>("destinationSetUp"); // what stands at the destination beforehand
    QTest::addColumn<bool>("workFolderExists");
    QTest::addColumn<Outcome>("outcome");

    QTest::newRow("plain move") << "" << true << Outcome::Moved;
    QTest::newRow("same-named file replaced") << "file" << true << Outcome::Moved;
    QTest::newRow("link at the destination replaced, not followed") << "link" << true << Outcome::Moved;
    QTest::newRow("folder at the destination") << "folder" << true << Outcome::Failed;
    QTest::newRow("work folder missing") << "" << false << Outcome::Failed;
    QTest::newRow("source gone") << "gone" << true << Outcome::SourceGone;
}

void tst_FileSystem::move()
{
    QFETCH(QString, destinationSetUp);
    QFETCH(bool, workFolderExists);
    QFETCH(Outcome, outcome);

    const QString source = m_in + "/a.txt";
    const QString destination = m_work + "/a.txt";
    const QString linkTarget = m_dir->filePath(QStringLiteral("target"));
    writeFile(source, "new content");
    writeFile(linkTarget, "target content");
    if (!workFolderExists) {
        QDir(m_work).removeRecursively();
    }
    if (destinationSetUp == "file") {
        writeFile(destination, "old content");
    } else if (destinationSetUp == "link") {
        QVERIFY(QFile::link(linkTarget, destination));
    } else if (destinationSetUp == "folder") {
        QDir(m_work).mkdir(QStringLiteral("a.txt"));
    } else if (destinationSetUp == "gone") {
        QFile::remove(source);
    }

    const MoveResult result = m_files.moveFile(source, destination);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(readFile(linkTarget), QByteArray("target content"));
    if (outcome == Outcome::Moved) {
        QVERIFY(!QFile::exists(source));
        QVERIFY(!QFileInfo(destination).isSymLink());
        QCOMPARE(readFile(destination), QByteArray("new content"));
    } else if (outcome == Outcome::Failed) {
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(readFile(source), QByteArray("new content"));
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

    const MoveResult result = PosixFileSystem::moveByCopy(source, m_work + "/a.txt");
    QCOMPARE(result.outcome, Outcome::Moved);
    QVERIFY(!QFile::exists(source));
    QCOMPARE(readFile(m_work + "/a.txt"), content);
    QCOMPARE(QFileInfo(m_work + "/a.txt").permissions(), permissions);
    QCOMPARE(QFileInfo(m_work + "/a.txt").lastModified(), modified);
    QCOMPARE(entries(m_work), QStringList{QStringLiteral("a.txt")});
}

void tst_FileSystem::moveByCopyFailureLeavesNoTrace()
{
    const QString source = m_in + "/a.txt";
    writeFile(source, "content");
    QDir(m_work).mkdir(QStringLiteral("a.txt")); // the copy cannot be renamed over a folder

    const MoveResult result = PosixFileSystem::moveByCopy(source, m_work + "/a.txt");
    QCOMPARE(result.outcome, Outcome::Failed);
    QCOMPARE(readFile(source), QByteArray("content"));
    QCOMPARE(entries(m_work), QStringList{QStringLiteral("a.txt")});

    QCOMPARE(PosixFileSystem::moveByCopy(m_in + "/missing", m_work + "/missing").outcome, Outcome::SourceGone);
}

void tst_FileSystem::moveAcrossFileSystems()
{
    struct stat here {};
    struct stat shm {};
    if (::stat("/dev/shm", &shm) != 0 || ::access("/dev/shm", W_OK) != 0
        || ::stat(QFile::encodeName(m_in).constData(), &here) != 0 || here.st_dev == shm.st_dev) {
        QSKIP("no second writable file system at /dev/shm");
    }
    QTemporaryDir other(QStringLiteral("/dev/shm/fenlow-test-XXXXXX"));
    QVERIFY(other.isValid());
    writeFile(m_in + "/a.txt", "across");
    QCOMPARE(m_files.moveFile(m_in + "/a.txt", other.filePath(QStringLiteral("a.txt"))).outcome, Outcome::Moved);
    QVERIFY(!QFile::exists(m_in + "/a.txt"));
    QCOMPARE(readFile(other.filePath(QStringLiteral("a.txt"))), QByteArray("across"));
    QCOMPARE(entries(other.path()), QStringList{QStringLiteral("a.txt")});
}

void tst_FileSystem::sameFolder_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("expected");
    QTest::newRow("same text") << "in" << "in" << true;
    QTest::newRow("trailing separator") << "in" << "in/" << true;
    QTest::newRow("through a dot") << "in" << "work/../in" << true;
    QTest::newRow("through a link") << "in" << "link" << true;
    QTest::newRow("different folders") << "in" << "work" << false;
    QTest::newRow("missing folders") << "missing" << "missing" << false;
}

void tst_FileSystem::sameFolder()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, expected);
    QVERIFY(QFile::link(m_in, m_dir->filePath(QStringLiteral("link"))));
    QCOMPARE(m_files.isSameFolder(m_dir->filePath(first), m_dir->filePath(second)), expected);
}

QTEST_GUILESS_MAIN(tst_FileSystem)
#include "tst_filesystem.moc"
