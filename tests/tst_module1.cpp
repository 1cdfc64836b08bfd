#include "engine/ruleimport.h"
#include "engine/rulestore.h"
#include "platform/jetrules.h"
#include "startup/module1.h"
#include "support/fakes.h"
#include "support/jetfixtures.h"
#include "support/testfolders.h"

#include <QFileInfo>
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
    void openFolderSettingsSoon() override { m_log.append(u"folder settings"_s); }

private:
    QStringList &m_log;
};

struct StartUp {
    explicit StartUp(const QString &folder)
        : programFolder(folder)
        , module({programFolder, profile, messages,
                  [this] {
                      log.append(u"current directory set %1 time(s)"_s.arg(programFolder.madeCurrent));
                      return std::make_unique<FakeMainWindow>(log);
                  },
                  [this](const QString &path) {
                      log.append(u"rules created "_s + QFileInfo(path).fileName());
                      return RuleStore::createEmpty(path);
                  },
                  [this](const QString &path) {
                      log.append(u"rules converted"_s);
                      return RuleImport::convert(path, path, path + u".jet"_s);
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
    void firstStartInANewProgramFolder();
    void programFolderThatCannotBeMade();
    void legacyRulesConvertedWhenTheOperatorAgrees_data();
    void legacyRulesConvertedWhenTheOperatorAgrees();
    void programFolderChoice_data();
    void programFolderChoice();
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

void tst_Module1::firstStartInANewProgramFolder()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"share/Fenlow"_s);
    StartUp startUp(folder);
    QVERIFY(startUp.module.Main());
    QCOMPARE(startUp.log,
             (QStringList{u"rules created AttFile.mdb"_s, u"current directory set 1 time(s)"_s, u"create"_s, u"load"_s,
                          u"Label3 C:\\Program File\\ZEZERU\\xxxxxx.attach"_s, u"Label4 C:\\remove"_s, u"show"_s,
                          u"folder settings"_s}));
    QVERIFY(startUp.messages.shown.isEmpty());
    // An empty rule table that the store opens.
    RuleStore rules(folder + u"/AttFile.mdb"_s);
    rules.Open();
    QVERIFY(rules.isOpen());
    QCOMPARE(rules.RecordCount(), 0);

    // A later start behaves as before: nothing is made, no dialog.
    StartUp again(folder);
    QVERIFY(again.module.Main());
    QVERIFY(!again.log.contains(u"folder settings"_s));
    QVERIFY(!again.log.contains(u"rules created AttFile.mdb"_s));
}

void tst_Module1::programFolderThatCannotBeMade()
{
    QTemporaryDir dir;
    TestFolders::writeFile(dir.filePath(u"file"_s));
    const QString folder = dir.filePath(u"file/Fenlow"_s); // under a file: no folder can be made
    StartUp startUp(folder);
    QVERIFY(!startUp.module.Main());
    QVERIFY(startUp.log.isEmpty());
    QCOMPARE(startUp.messages.shown.size(), 1);
    QVERIFY(startUp.messages.shown[0].contains(folder));
}

void tst_Module1::legacyRulesConvertedWhenTheOperatorAgrees_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes: converted, the original kept") << true;
    QTest::newRow("no: runs on as before, asked again next time") << false;
}

void tst_Module1::legacyRulesConvertedWhenTheOperatorAgrees()
{
    QFETCH(bool, answer);
    QTemporaryDir dir;
    const QString rules = dir.filePath(u"AttFile.mdb"_s);
    QVERIFY(QFile::copy(JetFixtures::path(u"attfile-v2000.mdb"_s), rules));
    StartUp startUp(dir.path());
    startUp.messages.answer = answer;
    QVERIFY(startUp.module.Main());
    QCOMPARE(startUp.messages.asked.size(), 1);
    QVERIFY(startUp.messages.asked[0].contains(u"Jet"_s));
    // Converted before the window loads, so that it opens on the converted rules.
    QCOMPARE(startUp.log.contains(u"rules converted"_s), answer);
    if (answer) {
        QVERIFY(startUp.log.indexOf(u"rules converted"_s) < startUp.log.indexOf(u"load"_s));
    }
    QCOMPARE(QFile::exists(rules + u".jet"_s), answer);
    QCOMPARE(JetRules::isJetFile(rules), !answer);
    if (answer) {
        QCOMPARE(TestFolders::readRules(rules).size(), 7);
        QVERIFY(startUp.messages.shown.isEmpty());
    }

    StartUp again(dir.path());
    QVERIFY(again.module.Main());
    QCOMPARE(again.messages.asked.size(), answer ? 0 : 1);
}

void tst_Module1::programFolderChoice_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("inExecutableFolder"); // a file there, or empty
    QTest::addColumn<QString>("chosen"); // "given", "executable" or "per-user"
    QTest::newRow("portable: Fenlow.ini beside the program") << ""
                                                             << "Fenlow.ini"
                                                             << "executable";
    QTest::newRow("portable: AttFile.mdb beside the program") << ""
                                                              << "AttFile.mdb"
                                                              << "executable";
    QTest::newRow("installed: nothing beside the program") << ""
                                                           << ""
                                                           << "per-user";
    QTest::newRow("--folder wins") << "given"
                                   << "Fenlow.ini"
                                   << "given";
}

void tst_Module1::programFolderChoice()
{
    QFETCH(QString, given);
    QFETCH(QString, inExecutableFolder);
    QFETCH(QString, chosen);
    QTemporaryDir dir;
    const QString executable = dir.filePath(u"bin"_s);
    QDir().mkpath(executable);
    if (!inExecutableFolder.isEmpty()) {
        TestFolders::writeFile(executable + u'/' + inExecutableFolder);
    }
    const QHash<QString, QString> folders{{u"given"_s, dir.filePath(u"given"_s)},
                                          {u"executable"_s, executable},
                                          {u"per-user"_s, dir.filePath(u"share/Fenlow"_s)}};
    QCOMPARE(chooseProgramFolder(given.isEmpty() ? QString() : folders[u"given"_s], executable, folders[u"per-user"_s]),
             folders[chosen]);
    QVERIFY(!QFileInfo::exists(folders[u"per-user"_s])); // choosing makes nothing
}

QTEST_GUILESS_MAIN(tst_Module1)
#include "tst_module1.moc"
