#include "platform/cp932.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Cp932 : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void invalidBytesDecodeToReplacement();
    void truncatedKeepsWholeCharacters_data();
    void truncatedKeepsWholeCharacters();
};

void tst_Cp932::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii with backslash") << u"C:\\remove"_s << QByteArray("C:\\remove");
    QTest::newRow("hiragana") << u"あ"_s << QByteArray("\x82\xA0");
    QTest::newRow("trail byte is a backslash") << u"ソ"_s << QByteArray("\x83\x5C");
    QTest::newRow("half-width katakana") << u"ｽﾃｰﾀｽ"_s << QByteArray("\xBD\xC3\xB0\xC0\xBD");
    QTest::newRow("control byte 0x1A") << u"\x1A"_s << QByteArray("\x1A");
    QTest::newRow("NEC special: circled one") << u"①"_s << QByteArray("\x87\x40");
    QTest::newRow("IBM extension") << u"髙"_s << QByteArray("\xFB\xFC");
}

void tst_Cp932::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp932::encode(text).value(), bytes);
    QCOMPARE(Cp932::decode(bytes), text);
}

void tst_Cp932::refused_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("yen sign") << u"¥"_s;
    QTest::newRow("emoji") << u"😀"_s;
    QTest::newRow("accented latin") << u"é"_s;
}

void tst_Cp932::refused()
{
    QFETCH(QString, text);
    QVERIFY(!Cp932::encode(text));
    QVERIFY(Cp932::encode(text).reason().contains(text));
}

void tst_Cp932::invalidBytesDecodeToReplacement()
{
    QCOMPARE(Cp932::decode(QByteArray("a\xFF"
                                      "b")),
             u"a\uFFFDb"_s);
    QCOMPARE(Cp932::decode(QByteArray("a\x82")), u"a\uFFFD"_s);
}

void tst_Cp932::truncatedKeepsWholeCharacters_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("max");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("shorter") << QByteArray("abc") << 5 << QByteArray("abc");
    QTest::newRow("single-byte cut") << QByteArray("abcdef") << 4 << QByteArray("abcd");
    QTest::newRow("cut after a whole character") << QByteArray("a\x82\xA0"
                                                               "b")
                                                 << 3 << QByteArray("a\x82\xA0");
    QTest::newRow("cut inside a character") << QByteArray("ab\x82\xA0") << 3 << QByteArray("ab");
}

void tst_Cp932::truncatedKeepsWholeCharacters()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, max);
    QFETCH(QByteArray, expected);
    QCOMPARE(Cp932::truncated(bytes, max), expected);
}

QTEST_GUILESS_MAIN(tst_Cp932)
#include "tst_cp932.moc"
