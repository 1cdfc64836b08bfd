#include "platform/filenames.h"
#include "platform/posixprocesslauncher.h"
#include "support/testfolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class tst_ProcessLauncher : public QObject {
    Q_OBJECT
private slots:
    void problems_data();
    void problems();
    void launchesInTheProgramFolderWithItsArguments();
    void programIsToldItsFileInItsEnvironment();
    void launchOfAMissingProgramFails();
    void endedProgramsAreReaped();
    void programGetsNoDescriptorOfOurs();
};

void tst_ProcessLauncher::problems_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("startable");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blank") << "   " << false;
    QTest::newRow("absolute program") << "/bin/true" << true;
    QTest::newRow("program on the path, with arguments") << "sh -c \"exit 0\"" << true;
    QTest::newRow("no such program") << "fenlow-no-such-program --x" << false;
    QTest::newRow("no such path") << "/nonexistent/prog" << false;
    QTest::newRow("relative to the program folder") << "./run.sh" << true;
    QTest::newRow("not executable") << "./plain.txt" << false;
    QTest::newRow("a folder") << "./sub" << false;
}

void tst_ProcessLauncher::problems()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, startable);
    QTemporaryDir dir;
    TestFolders::writeFile(dir.filePath(u"run.sh"_s), "#!/bin/sh\n");
    QFile::setPermissions(dir.filePath(u"run.sh"_s), QFile::ReadOwner | QFile::ExeOwner);
    TestFolders::writeFile(dir.filePath(u"plain.txt"_s));
    QDir(dir.path()).mkdir(u"sub"_s);
    PosixProcessLauncher launcher(dir.path());
    QCOMPARE(launcher.canStart(commandLine).ok(), startable);
}

void tst_ProcessLauncher::launchesInTheProgramFolderWithItsArguments()
{
    QTemporaryDir dir;
    PosixProcessLauncher launcher(dir.path());
    QVERIFY(launcher.launch(u"sh -c \"pwd > out.tmp && mv out.tmp 'out file'\""_s, {}).ok());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(u"out file"_s)), 10000);
    QCOMPARE(TestFolders::readFile(dir.filePath(u"out file"_s)).trimmed(),
             QFile::encodeName(QDir(dir.path()).canonicalPath()));
}

void tst_ProcessLauncher::programIsToldItsFileInItsEnvironment()
{
    QTemporaryDir dir;
    PosixProcessLauncher launcher(dir.path());
    // A value with a byte that is not UTF-8 reaches the program as that byte; a variable the
    // program would inherit is replaced.
    qputenv("FENLOW_NAME", "inherited");
    const QString file = dir.filePath(FileNames::decode("caf\xE9.txt"));
    TestFolders::writeFile(dir.filePath(u"tell.sh"_s),
                           "printf '%s|%s' \"$FENLOW_FILE\" \"$FENLOW_NAME\" > env.tmp && mv env.tmp env\n");
    const Result<qint64> started
        = launcher.launch(u"sh tell.sh"_s, {{u"FENLOW_FILE"_s, file}, {u"FENLOW_NAME"_s, u"café"_s}});
    qunsetenv("FENLOW_NAME");
    QVERIFY(started.ok());
    QVERIFY(started.value() > 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(u"env"_s)), 10000);
    QCOMPARE(TestFolders::readFile(dir.filePath(u"env"_s)), FileNames::encode(file) + "|" + u"café"_s.toUtf8());
}

void tst_ProcessLauncher::launchOfAMissingProgramFails()
{
    QTemporaryDir dir;
    PosixProcessLauncher launcher(dir.path());
    QVERIFY(!launcher.launch(u"/nonexistent/prog"_s, {}));
    QVERIFY(!launcher.launch(QString(), {}));
}

void tst_ProcessLauncher::endedProgramsAreReaped()
{
    QTemporaryDir dir;
    PosixProcessLauncher launcher(dir.path());
    for (int i = 0; i < 5; ++i) {
        QVERIFY(launcher.launch(u"/bin/true"_s, {}).ok());
    }
    QTRY_COMPARE_WITH_TIMEOUT(launcher.runningCount(), 0, 10000);
}

void tst_ProcessLauncher::programGetsNoDescriptorOfOurs()
{
    QTemporaryDir dir;
    const int ours = ::open("/dev/null", O_RDONLY); // deliberately without close-on-exec
    QVERIFY(ours > 2);
    PosixProcessLauncher launcher(dir.path());
    QVERIFY(launcher.launch(u"sh -c \"ls /proc/$$/fd > fds.tmp && mv fds.tmp fds\""_s, {}).ok());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(u"fds"_s)), 10000);
    ::close(ours);
    const QList<QByteArray> open = TestFolders::readFile(dir.filePath(u"fds"_s)).split('\n');
    QVERIFY(!open.contains(QByteArray::number(ours)));
}

QTEST_GUILESS_MAIN(tst_ProcessLauncher)
#include "tst_processlauncher.moc"
