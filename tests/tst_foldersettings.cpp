#include "platform/cp932.h"
#include "startup/foldersettings.h"
#include "support/fakes.h"
#include "support/testfolders.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kSearchDefault = u"C:\\Program File\\ZEZERU\\xxxxxx.attach"_s;
const QString kWorkDefault = u"C:\\remove"_s;

} // namespace

class tst_FolderSettings : public QObject {
    Q_OBJECT
private slots:
    void readsBothFolders_data();
    void readsBothFolders();
    void missingFileIsNotCreated();
    void readsTheSettleTime_data();
    void readsTheSettleTime();
    void failedReadKeepsWhatWasNotRead();
    void saveWritesBothKeys();
    void saveThenReadRoundTrip_data();
    void saveThenReadRoundTrip();
    void saveRefusesFoldersOutsideTheCodePage();
    void saveReportsAFailedWrite();

private:
    QTemporaryDir m_dir;
    QString iniPath() const { return configurationFilePath(m_dir.path()); }
};

void tst_FolderSettings::readsBothFolders_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("work");

    QTest::newRow("no file") << QByteArray() << kSearchDefault << kWorkDefault;
    QTest::newRow("both keys") << QByteArray("[Center]\r\nserch=/in\r\nremove=/work\r\n") << "/in"
                               << "/work";
    QTest::newRow("empty search key, default work") << QByteArray("[Center]\r\nserch=\r\n") << "" << kWorkDefault;
    QTest::newRow("other sections only") << QByteArray("[Other]\r\nserch=/in\r\n") << kSearchDefault << kWorkDefault;
    QTest::newRow("capitals") << QByteArray("[CENTER]\r\nSERCH=/in\r\nREMOVE=/work\r\n") << "/in"
                              << "/work";
    QTest::newRow("blanks and quotes") << QByteArray("[Center]\r\nserch = \"  /in box  \" \r\nremove='/w'\r\n")
                                       << "/in box"
                                       << "/w";
    QTest::newRow("tabs inside quotes stay")
        << QByteArray("[Center]\r\nserch=\"\t/in\t\"\r\n") << "\t/in\t" << kWorkDefault;
    QTest::newRow("130 characters cut to 127")
        << QByteArray("[Center]\r\nserch=" + QByteArray(130, 'a') + "\r\n") << QString(127, u'a') << kWorkDefault;
    QTest::newRow("long first value, short second")
        << QByteArray("[Center]\r\nserch=" + QByteArray(100, 'a') + "\r\nremove=b\r\n") << QString(100, u'a') << "b";
    QTest::newRow("Japanese folders") << QByteArray("[Center]\r\nserch=" + Cp932::encode(u"/受信"_s).value()
                                                    + "\r\nremove=" + Cp932::encode(u"/ｼｭｳﾘ"_s).value() + "\r\n")
                                      << u"/受信"_s << u"/ｼｭｳﾘ"_s;
}

void tst_FolderSettings::readsBothFolders()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, search);
    QFETCH(QString, work);
    QFile::remove(iniPath());
    if (!content.isEmpty()) {
        TestFolders::writeFile(iniPath(), content);
    }
    FolderSettings settings;
    IniProfileFile profile;
    QVERIFY(GetInitInfo(settings, profile, m_dir.path()).ok());
    QCOMPARE(settings.SearchFolder, search);
    QCOMPARE(settings.WorkFolder, work);
}

void tst_FolderSettings::readsTheSettleTime_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("seconds");
    QTest::newRow("no key") << QByteArray("[Center]\r\nserch=/in\r\n") << 2;
    QTest::newRow("five seconds") << QByteArray("[Center]\r\nsettle=5\r\n") << 5;
    QTest::newRow("turned off") << QByteArray("[Center]\r\nsettle = 0\r\n") << 0;
    QTest::newRow("not a number") << QByteArray("[Center]\r\nsettle=soon\r\n") << 2;
    QTest::newRow("negative") << QByteArray("[Center]\r\nsettle=-3\r\n") << 2;
    QTest::newRow("in another section") << QByteArray("[Other]\r\nsettle=9\r\n") << 2;
}

void tst_FolderSettings::readsTheSettleTime()
{
    QFETCH(QByteArray, content);
    QFETCH(int, seconds);
    TestFolders::writeFile(iniPath(), content);
    FolderSettings settings;
    settings.settleSeconds = 77;
    IniProfileFile profile;
    QVERIFY(GetInitInfo(settings, profile, m_dir.path()).ok());
    QCOMPARE(settings.settleSeconds, seconds);
    // Registering folders leaves the key as it was.
    QVERIFY(SaveInitInfo({u"/a"_s, u"/b"_s}, profile, m_dir.path()).ok());
    if (const qsizetype settleLine = content.indexOf("settle"); settleLine >= 0) {
        QVERIFY(TestFolders::readFile(iniPath()).contains(content.mid(settleLine)));
    }
}

void tst_FolderSettings::missingFileIsNotCreated()
{
    QFile::remove(iniPath());
    FolderSettings settings;
    IniProfileFile profile;
    QVERIFY(GetInitInfo(settings, profile, m_dir.path()).ok());
    QVERIFY(!QFile::exists(iniPath()));
}

void tst_FolderSettings::failedReadKeepsWhatWasNotRead()
{
    TestFolders::writeFile(iniPath(), "[Center]\r\nserch=/in\r\nremove=/work\r\n");
    FakeProfileFile profile;
    profile.readFailures.insert(u"remove"_s, u"I/O error"_s);
    FolderSettings settings{u"old search"_s, u"old work"_s};
    const Result<> read = GetInitInfo(settings, profile, m_dir.path());
    QVERIFY(!read);
    QCOMPARE(read.reason(), u"I/O error"_s);
    QCOMPARE(settings.SearchFolder, u"/in"_s);
    QCOMPARE(settings.WorkFolder, u"old work"_s);
}

void tst_FolderSettings::saveWritesBothKeys()
{
    TestFolders::writeFile(iniPath(), "; kept\r\n[Center]\r\nremove=/old\r\nother=1\r\n");
    IniProfileFile profile;
    QVERIFY(SaveInitInfo({u"/受信"_s, QString()}, profile, m_dir.path()).ok());
    QCOMPARE(TestFolders::readFile(iniPath()),
             "; kept\r\n[Center]\r\nremove=\r\nother=1\r\nserch=" + Cp932::encode(u"/受信"_s).value() + "\r\n");
}

void tst_FolderSettings::saveThenReadRoundTrip_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << u"/data/in"_s << u"/data/in"_s;
    QTest::newRow("empty field stays empty") << QString() << QString();
    const QString longPath = u"/"_s + QString(140, u'p');
    QTest::newRow("longer than the buffer") << longPath << longPath.left(127);
}

void tst_FolderSettings::saveThenReadRoundTrip()
{
    QFETCH(QString, search);
    QFETCH(QString, expected);
    QFile::remove(iniPath());
    IniProfileFile profile;
    QVERIFY(SaveInitInfo({search, u"/w"_s}, profile, m_dir.path()).ok());
    FolderSettings read;
    QVERIFY(GetInitInfo(read, profile, m_dir.path()).ok());
    QCOMPARE(read.SearchFolder, expected);
    QCOMPARE(read.WorkFolder, u"/w"_s);
}

void tst_FolderSettings::saveRefusesFoldersOutsideTheCodePage()
{
    const QByteArray before = "[Center]\r\nserch=/in\r\nremove=/work\r\n";
    TestFolders::writeFile(iniPath(), before);
    IniProfileFile profile;
    // The work folder cannot be written, so the search folder is not written either.
    const Result<> result = SaveInitInfo({u"/new"_s, u"/w¥"_s}, profile, m_dir.path());
    QVERIFY(!result.ok());
    QVERIFY(result.reason().contains(u"/w¥"_s));
    QCOMPARE(TestFolders::readFile(iniPath()), before);
}

void tst_FolderSettings::saveReportsAFailedWrite()
{
    FakeProfileFile profile;
    profile.writeFailure = u"Permission denied"_s;
    const Result<> result = SaveInitInfo({u"/a"_s, u"/b"_s}, profile, m_dir.path());
    QCOMPARE(result.reason(), u"Permission denied"_s);
    const QString message = configurationWriteFailedMessage(iniPath(), result.reason());
    QVERIFY(message.contains(iniPath()));
    QVERIFY(message.contains(u"Permission denied"_s));
}

QTEST_GUILESS_MAIN(tst_FolderSettings)
#include "tst_foldersettings.moc"
