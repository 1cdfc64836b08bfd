#include "support/fakes.h"
#include "startup/module1.h"
#include "support/testfolders.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// Records what start-up asks of the main window.
class FakeMainWindow final : public MainWindowOps {
public:
    explicit FakeMainWindow(QStringList &log) : m_log(log) { m_log.append(QStringLiteral("create")); }
    void Load() override { m_log.append(QStringLiteral("load")); }
    void Unload() override { m_log.append(QStringLiteral("unload")); }
    void Show() override { m_log.append(QStringLiteral("show")); }
    void setSearchFolderDisplay(const QString &folder) override { m_log.append(QStringLiteral("Label3 ") + folder); }
    void setWorkFolderDisplay(const QString &folder) override { m_log.append(QStringLiteral("Label4 ") + folder); }

private:
    QStringList &m_log;
};

struct StartUp {
    explicit StartUp(const QString &folder)
        : programFolder(folder)
        , module({programFolder, profile, messages, [this] {
                      log.append(QStringLiteral("current directory set %1 time(s)").arg(programFolder.madeCurrent));
                      return std::make_unique<FakeMainWindow>(log);
                  }})
    {
    }
    FakeProgramFolder programFolder;
    FakeProfileFile profile;
    FakeMessageBoxes messages;
    QStringList log;
    Module1 module;
};

} // namespace

class tst_Module1 : public QObject {
    Q_OBJECT
private slots:
    void showsTheWindowWithTheFolders();
    void failedReadEndsWithAMessage();
    void failedChangeOfDirectoryEndsWithAMessage();
};

void tst_Module1::showsTheWindowWithTheFolders()
{
    QTemporaryDir dir;
    TestFolders::writeFile(dir.filePath(QStringLiteral("Fenlow.ini")), "[Center]\r\nserch=/in\r\nremove=/work\r\n");
    StartUp startUp(dir.path());
    QVERIFY(startUp.module.Main());
    QCOMPARE(startUp.log, (QStringList{QStringLiteral("current directory set 1 time(s)"), QStringLiteral("create"),
                                       QStringLiteral("load"), QStringLiteral("Label3 /in"),
                                       QStringLiteral("Label4 /work"), QStringLiteral("show")}));
    QCOMPARE(startUp.module.folderSettings().SearchFolder, QStringLiteral("/in"));
    QCOMPARE(startUp.module.folderSettings().WorkFolder, QStringLiteral("/work"));
    QVERIFY(startUp.module.mainWindow());
    QVERIFY(startUp.messages.shown.isEmpty());
}

void tst_Module1::failedReadEndsWithAMessage()
{
    QTemporaryDir dir;
    StartUp startUp(dir.path());
    startUp.profile.readFailures.insert(QStringLiteral("serch"), QStringLiteral("Input/output error"));
    QVERIFY(!startUp.module.Main());
    QCOMPARE(startUp.log, (QStringList{QStringLiteral("current directory set 1 time(s)"), QStringLiteral("create"),
                                       QStringLiteral("load"), QStringLiteral("unload")}));
    QVERIFY(!startUp.module.mainWindow());
    QCOMPARE(startUp.messages.shown.size(), 1);
    QVERIFY(startUp.messages.shown[0].contains(dir.filePath(QStringLiteral("Fenlow.ini"))));
    QVERIFY(startUp.messages.shown[0].contains(QStringLiteral("Input/output error")));
}

void tst_Module1::failedChangeOfDirectoryEndsWithAMessage()
{
    QTemporaryDir dir;
    StartUp startUp(dir.path());
    startUp.programFolder.failure = QStringLiteral("No such file or directory");
    QVERIFY(!startUp.module.Main());
    QVERIFY(startUp.log.isEmpty());
    QCOMPARE(startUp.messages.shown.size(), 1);
    QVERIFY(startUp.messages.shown[0].contains(QStringLiteral("No such file or directory")));
}

QTEST_GUILESS_MAIN(tst_Module1)
#include "tst_module1.moc"
