#include "startup/module1.h"
#include "support/fakes.h"
#include "support/testfolders.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Records what start-up asks of the main window.
class FakeMainWindow final : public MainWindowOps {
public:
    explicit FakeMainWindow(QStringList &log)
        : m_log(log)
    {
        m_log.append(u"create"_s);
    }
    void Load() override { m_log.append(u"load"_s); }
    void Unload() override { m_log.append(u"unload"_s); }
    void Show() override { m_log.append(u"show"_s); }
    void setSearchFolderDisplay(const QString &folder) override { m_log.append(u"Label3 "_s + folder); }
    void setWorkFolderDisplay(const QString &folder) override { m_log.append(u"Label4 "_s + folder); }

private:
    QStringList &m_log;
};

struct StartUp {
    explicit StartUp(const QString &folder)
        : programFolder(folder)
        , module({programFolder, profile, messages, [this] {
                      log.append(u"current directory set %1 time(s)"_s.arg(programFolder.madeCurrent));
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
    TestFolders::writeFile(dir.filePath(u"Fenlow.ini"_s), "[Center]\r\nserch=/in\r\nremove=/work\r\n");
    StartUp startUp(dir.path());
    QVERIFY(startUp.module.Main());
    QCOMPARE(startUp.log,
             (QStringList{u"current directory set 1 time(s)"_s, u"create"_s, u"load"_s, u"Label3 /in"_s,
                          u"Label4 /work"_s, u"show"_s}));
    QCOMPARE(startUp.module.folderSettings().SearchFolder, u"/in"_s);
    QCOMPARE(startUp.module.folderSettings().WorkFolder, u"/work"_s);
    QVERIFY(startUp.module.mainWindow());
    QVERIFY(startUp.messages.shown.isEmpty());
}

void tst_Module1::failedReadEndsWithAMessage()
{
    QTemporaryDir dir;
    StartUp startUp(dir.path());
    startUp.profile.readFailures.insert(u"serch"_s, u"Input/output error"_s);
    QVERIFY(!startUp.module.Main());
    QCOMPARE(startUp.log, (QStringList{u"current directory set 1 time(s)"_s, u"create"_s, u"load"_s, u"unload"_s}));
    QVERIFY(!startUp.module.mainWindow());
    QCOMPARE(startUp.messages.shown.size(), 1);
    QVERIFY(startUp.messages.shown[0].contains(dir.filePath(u"Fenlow.ini"_s)));
    QVERIFY(startUp.messages.shown[0].contains(u"Input/output error"_s));
}

void tst_Module1::failedChangeOfDirectoryEndsWithAMessage()
{
    QTemporaryDir dir;
    StartUp startUp(dir.path());
    startUp.programFolder.failure = u"No such file or directory"_s;
    QVERIFY(!startUp.module.Main());
    QVERIFY(startUp.log.isEmpty());
    QCOMPARE(startUp.messages.shown.size(), 1);
    QVERIFY(startUp.messages.shown[0].contains(u"No such file or directory"_s));
}

QTEST_GUILESS_MAIN(tst_Module1)
#include "tst_module1.moc"
