#include "platform/cp932.h"
#include "platform/profilefile.h"
#include "support/testfolders.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString kMissing = u"<missing>"_s;

QByteArray sjis(const QString &text)
{
    return Cp932::encode(text).value();
}

ino_t inodeOf(const QString &path)
{
    struct stat info { };
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_ino;
}

} // namespace

class tst_ProfileFile : public QObject {
    Q_OBJECT
private slots:
    void findValue_data();
    void findValue();
    void withValue_data();
    void withValue();
    void getStringCutsAtTheBuffer_data();
    void getStringCutsAtTheBuffer();
    void getStringDefaults();
    void getStringOnAFolderFails();
    void writeCreatesTheFile();
    void writeRefusesTextOutsideTheCodePage_data();
    void writeRefusesTextOutsideTheCodePage();
    void writeOfTheSameValueLeavesTheFileAlone();
    void writeKeepsUtf8Files();
    void writeIntoAMissingFolderFails();
};

void tst_ProfileFile::findValue_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray("[Center]\r\nserch=C:\\in\r\n") << "C:\\in";
    QTest::newRow("names without regard to case") << QByteArray("[CENTER]\r\nSeRcH=x\r\n") << "x";
    QTest::newRow("blanks around everything")
        << QByteArray(" \t[ \tCenter\t ] \r\n\t serch \t=\t  x y \t\r\n") << "x y";
    QTest::newRow("text after the bracket") << QByteArray("[Center] old\r\nserch=x\r\n") << "x";
    QTest::newRow("header without bracket") << QByteArray("[Center\r\nserch=x\r\n") << kMissing;
    QTest::newRow("double quotes keep inner blanks") << QByteArray("[Center]\r\nserch= \"  a b  \" \r\n") << "  a b  ";
    QTest::newRow("single quotes") << QByteArray("[Center]\r\nserch='a'\r\n") << "a";
    QTest::newRow("mixed quotes stay") << QByteArray("[Center]\r\nserch=\"a'\r\n") << "\"a'";
    QTest::newRow("one quote stays") << QByteArray("[Center]\r\nserch=\"\r\n") << "\"";
    QTest::newRow("two quoted parts") << QByteArray("[Center]\r\nserch=\"a\" \"b\"\r\n") << "a\" \"b";
    QTest::newRow("only one pair of quotes") << QByteArray("[Center]\r\nserch=\"\"a\"\"\r\n") << "\"a\"";
    QTest::newRow("empty value") << QByteArray("[Center]\r\nserch=\r\n") << "";
    QTest::newRow("line without equals") << QByteArray("[Center]\r\nserch\r\n") << kMissing;
    QTest::newRow("value holds equals") << QByteArray("[Center]\r\nserch=a=b\r\n") << "a=b";
    QTest::newRow("only the first section of a name")
        << QByteArray("[Center]\r\nremove=r\r\n[Center]\r\nserch=x\r\n") << kMissing;
    QTest::newRow("first key wins") << QByteArray("[Center]\r\nserch=a\r\nSERCH=b\r\n") << "a";
    QTest::newRow("keys above any section") << QByteArray("serch=x\r\n[Center]\r\nremove=r\r\n") << kMissing;
    QTest::newRow("other section") << QByteArray("[Other]\r\nserch=x\r\n") << kMissing;
    QTest::newRow("semicolon line") << QByteArray("[Center]\r\n;serch=x\r\n") << kMissing;
    QTest::newRow("hash line") << QByteArray("[Center]\r\n#serch=x\r\n") << kMissing;
    QTest::newRow("no inline comments") << QByteArray("[Center]\r\nserch=a ;b\r\n") << "a ;b";
    QTest::newRow("LF line ends") << QByteArray("[Center]\nremove=r\nserch=a\n") << "a";
    QTest::newRow("CR line ends") << QByteArray("[Center]\rremove=r\rserch=a\r") << "a";
    QTest::newRow("no line end at the end") << QByteArray("[Center]\r\nserch=a") << "a";
    QTest::newRow("NUL ends the value") << QByteArray("[Center]\r\nserch=ab\0cd\r\n", 24) << "ab";
    QTest::newRow("code page 932") << QByteArray("[Center]\r\nserch=" + sjis(u"C:\\データ\\ソ表"_s) + "\r\n")
                                   << u"C:\\データ\\ソ表"_s;
    QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF[Center]\r\nserch=日本\r\n") << u"日本"_s;
}

void tst_ProfileFile::findValue()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    QCOMPARE(ProfileText::findValue(content, u"Center"_s, u"serch"_s).value_or(kMissing), expected);
}

void tst_ProfileFile::withValue_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("new file") << QByteArray() << "C:\\in" << QByteArray("[Center]\r\nserch=C:\\in\r\n");
    QTest::newRow("replaced in place") << QByteArray("; head\r\n[Center]\r\nserch=old\r\nremove=r\r\n") << "V"
                                       << QByteArray("; head\r\n[Center]\r\nserch=V\r\nremove=r\r\n");
    QTest::newRow("key kept as spelled, blanks dropped")
        << QByteArray("[center]\r\n  SERCH = old  \r\n") << "V" << QByteArray("[center]\r\nSERCH=V\r\n");
    QTest::newRow("LF line ends kept") << QByteArray("[Center]\nserch=old\nx=1\n") << "V"
                                       << QByteArray("[Center]\nserch=V\nx=1\n");
    QTest::newRow("missing key after the last key line")
        << QByteArray("[Center]\r\nremove=r\r\n\r\n[Other]\r\na=1\r\n") << "V"
        << QByteArray("[Center]\r\nremove=r\r\nserch=V\r\n\r\n[Other]\r\na=1\r\n");
    QTest::newRow("missing key in a section without keys")
        << QByteArray("[Center]\r\n[Other]\r\n") << "V" << QByteArray("[Center]\r\nserch=V\r\n[Other]\r\n");
    QTest::newRow("missing key after a last line without line end")
        << QByteArray("[Center]\r\nremove=r") << "V" << QByteArray("[Center]\r\nremove=r\r\nserch=V\r\n");
    QTest::newRow("missing section appended")
        << QByteArray("[Other]\r\na=1\r\n") << "V" << QByteArray("[Other]\r\na=1\r\n[Center]\r\nserch=V\r\n");
    QTest::newRow("missing section after a last line without line end")
        << QByteArray("[Other]\r\na=1") << "V" << QByteArray("[Other]\r\na=1\r\n[Center]\r\nserch=V\r\n");
    QTest::newRow("into the first section of a name")
        << QByteArray("[Center]\r\nremove=r\r\n[Center]\r\nserch=old\r\n") << "V"
        << QByteArray("[Center]\r\nremove=r\r\nserch=V\r\n[Center]\r\nserch=old\r\n");
    QTest::newRow("empty value") << QByteArray("[Center]\r\nserch=old\r\n") << ""
                                 << QByteArray("[Center]\r\nserch=\r\n");
    QTest::newRow("same value untouched")
        << QByteArray("[Center]\r\n serch = V \n") << "V" << QByteArray("[Center]\r\n serch = V \n");
    const QByteArray foreign = "[\x83\x5D]\r\nk=\x82\xA0\xFF\r\n"; // other bytes, one not even a character
    QTest::newRow("other lines byte for byte") << QByteArray(foreign + "[Center]\r\nserch=old\r\n") << u"ソ"_s
                                               << QByteArray(foreign + "[Center]\r\nserch=" + sjis(u"ソ"_s) + "\r\n");
}

void tst_ProfileFile::withValue()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    const QByteArray written = ProfileText::withValue(content, u"Center"_s, u"serch"_s, sjis(value));
    QCOMPARE(written, expected);
    QCOMPARE(ProfileText::findValue(written, u"Center"_s, u"serch"_s), value);
}

void tst_ProfileFile::getStringCutsAtTheBuffer_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    const QString a130(130, u'a');
    QTest::newRow("130 single-byte") << a130 << a130.left(127);
    QTest::newRow("127 single-byte") << a130.left(127) << a130.left(127);
    QTest::newRow("double-byte, exact") << QString(u'a') + QString(64, u'あ') << QString(u'a') + QString(63, u'あ');
    QTest::newRow("double-byte, lead byte orphaned") << QString(64, u'あ') << QString(63, u'あ');
    QTest::newRow("half-width katakana are one byte") << QString(130, u'ｱ') << QString(127, u'ｱ');
}

void tst_ProfileFile::getStringCutsAtTheBuffer()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Fenlow.ini"_s);
    TestFolders::writeFile(path, "[Center]\r\nserch=" + sjis(value) + "\r\n");
    IniProfileFile profile;
    const Result<QString> read = profile.getString(path, u"Center"_s, u"serch"_s, {}, 128);
    QVERIFY(read.ok());
    QCOMPARE(read.value(), expected);
}

void tst_ProfileFile::getStringDefaults()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Fenlow.ini"_s);
    IniProfileFile profile;
    QCOMPARE(profile.getString(path, u"Center"_s, u"serch"_s, u"D"_s, 128).value(), u"D"_s);
    QVERIFY(!QFile::exists(path));

    TestFolders::writeFile(path, "[Center]\r\nremove=r\r\n");
    QCOMPARE(profile.getString(path, u"Center"_s, u"serch"_s, u"D"_s, 128).value(), u"D"_s);
    QCOMPARE(profile.getString(path, u"Other"_s, u"remove"_s, u"D"_s, 128).value(), u"D"_s);
}

void tst_ProfileFile::getStringOnAFolderFails()
{
    QTemporaryDir dir;
    IniProfileFile profile;
    const Result<QString> read = profile.getString(dir.path(), u"Center"_s, u"serch"_s, {}, 128);
    QVERIFY(!read.ok());
}

void tst_ProfileFile::writeCreatesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Fenlow.ini"_s);
    IniProfileFile profile;
    QVERIFY(profile.writeString(path, u"Center"_s, u"serch"_s, u"C:\\受信"_s).ok());
    QVERIFY(profile.writeString(path, u"Center"_s, u"remove"_s, u"C:\\w"_s).ok());
    QCOMPARE(TestFolders::readFile(path), "[Center]\r\nserch=" + sjis(u"C:\\受信"_s) + "\r\nremove=C:\\w\r\n");
}

void tst_ProfileFile::writeRefusesTextOutsideTheCodePage_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("refused"); // the text the reason names
    QTest::newRow("emoji") << "Center"
                           << "serch" << u"C:\\in😀"_s << u"C:\\in😀"_s;
    QTest::newRow("yen sign maps to a backslash") << "Center"
                                                  << "serch" << u"C:\\¥in"_s << u"C:\\¥in"_s;
    QTest::newRow("hangul") << "Center"
                            << "serch" << u"C:\\한"_s << u"C:\\한"_s;
    // Found by fuzzing: such a name was written as other bytes and never read back.
    QTest::newRow("section name") << u"Cent\uFFFD"_s << "serch"
                                  << "x" << u"Cent\uFFFD"_s;
    QTest::newRow("key name") << "Center" << u"한"_s << "x" << u"한"_s;
}

void tst_ProfileFile::writeRefusesTextOutsideTheCodePage()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, refused);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Fenlow.ini"_s);
    const QByteArray before = "[Center]\r\nserch=old\r\n";
    TestFolders::writeFile(path, before);
    IniProfileFile profile;
    const Result<> write = profile.writeString(path, section, key, value);
    QVERIFY(!write.ok());
    QVERIFY(write.reason().contains(refused));
    QCOMPARE(TestFolders::readFile(path), before);
}

void tst_ProfileFile::writeOfTheSameValueLeavesTheFileAlone()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Fenlow.ini"_s);
    TestFolders::writeFile(path, "[Center]\r\nserch=same\r\n");
    const ino_t before = inodeOf(path);
    IniProfileFile profile;
    QVERIFY(profile.writeString(path, u"Center"_s, u"serch"_s, u"same"_s).ok());
    QCOMPARE(inodeOf(path), before);
}

void tst_ProfileFile::writeKeepsUtf8Files()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Fenlow.ini"_s);
    TestFolders::writeFile(path, "\xEF\xBB\xBF[Center]\r\nserch=old\r\n");
    IniProfileFile profile;
    QVERIFY(profile.writeString(path, u"Center"_s, u"serch"_s, u"受信"_s).ok());
    QCOMPARE(TestFolders::readFile(path), QByteArray("\xEF\xBB\xBF[Center]\r\nserch=受信\r\n"));
    QCOMPARE(profile.getString(path, u"Center"_s, u"serch"_s, {}, 128).value(), u"受信"_s);
}

void tst_ProfileFile::writeIntoAMissingFolderFails()
{
    QTemporaryDir dir;
    IniProfileFile profile;
    const Result<> write = profile.writeString(dir.filePath(u"gone/Fenlow.ini"_s), u"Center"_s, u"serch"_s, u"x"_s);
    QVERIFY(!write.ok());
}

QTEST_GUILESS_MAIN(tst_ProfileFile)
#include "tst_profilefile.moc"
