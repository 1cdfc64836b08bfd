#include "platform/filenames.h"
#include "platform/wildcard.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Wildcard : public QObject {
    Q_OBJECT
private slots:
    void matches_data();
    void matches();
    void bytesThatAreNotUtf8_data();
    void bytesThatAreNotUtf8();
};

void tst_Wildcard::matches_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");

    QTest::newRow("extension, other case") << "*.txt"
                                           << "Report.TXT" << true;
    QTest::newRow("extension must end the name") << "*.txt"
                                                 << "a.txt.bak" << false;
    QTest::newRow("question mark is one character") << "a?c"
                                                    << "abc" << true;
    QTest::newRow("question mark is not zero characters") << "a?c"
                                                          << "ac" << false;
    QTest::newRow("question mark is not two characters") << "a?c"
                                                         << "abbc" << false;
    QTest::newRow("star alone") << "*"
                                << "anything" << true;
    QTest::newRow("star dot star without a dot") << "*.*"
                                                 << "README" << true;
    QTest::newRow("stars in the middle") << "a*b*c"
                                         << "aXXbYYc" << true;
    QTest::newRow("stars need their letters") << "a*b*c"
                                              << "aXXbYY" << false;
    QTest::newRow("star needs backtracking") << "*ab"
                                             << "aab" << true;
    QTest::newRow("exact name") << "order.csv"
                                << "ORDER.CSV" << true;
    QTest::newRow("exact name, longer") << "order.csv"
                                        << "order.csv2" << false;
    QTest::newRow("Japanese name") << u"受注*.csv"_s << u"受注0001.CSV"_s << true;
    QTest::newRow("half-width katakana") << u"ﾃｽﾄ?.txt"_s << u"ﾃｽﾄ1.txt"_s << true;
    QTest::newRow("full-width letters fold") << u"ＡＢ*"_s << u"ａｂc"_s << true;
    QTest::newRow("non-ASCII pattern, ASCII name") << u"é*"_s << "e.txt" << false;
    QTest::newRow("a character outside the BMP is one character") << "?.txt" << u"😀.txt"_s << true;
    QTest::newRow("outside the BMP, case folded") << u"𐐀*"_s << u"𐐨x"_s << true;
    QTest::newRow("folder part matches nothing") << "in/*.txt"
                                                 << "a.txt" << false;
    QTest::newRow("folder part, even with star dot star") << "in/*.*"
                                                          << "a.txt" << false;
}

void tst_Wildcard::matches()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, expected);
    const WildcardPattern wildcard(pattern);
    QCOMPARE(wildcard.matches(name), expected);
    QCOMPARE(wildcard.matchesUtf8(name.toUtf8()), expected);
}

void tst_Wildcard::bytesThatAreNotUtf8_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("expected");
    QTest::newRow("Latin-1 byte, question mark") << "?.txt" << QByteArray("\xE9.txt") << true;
    QTest::newRow("Latin-1 byte, star") << "*.txt" << QByteArray("caf\xE9.txt") << true;
    QTest::newRow("Latin-1 byte is not the letter it means") << u"é.txt"_s << QByteArray("\xE9.txt") << false;
    QTest::newRow("code page 932 name: two bytes, two characters") << "??.csv" << QByteArray("\x8E\xF3.csv") << true;
    QTest::newRow("code page 932 name: not one") << "?.csv" << QByteArray("\x8E\xF3.csv") << false;
    QTest::newRow("a cut-off UTF-8 sequence") << "a?" << QByteArray("a\xE3\x81") << false;
    QTest::newRow("a newline is a character") << "a?b" << QByteArray("a\nb") << true;
    // Found by fuzzing: the second half of this character lies in the escape range.
    QTest::newRow("a zero-width no-break space after bytes that are not UTF-8")
        << "????" << QByteArray("\xA2\xBB\xA1\xEF\xBB\xBF") << true;
    QTest::newRow("a character whose low surrogate looks escaped") << "?" << QByteArray("\xF0\x9F\xB3\x98") << true;
}

void tst_Wildcard::bytesThatAreNotUtf8()
{
    QFETCH(QString, pattern);
    QFETCH(QByteArray, name);
    QFETCH(bool, expected);
    const WildcardPattern wildcard(pattern);
    QCOMPARE(wildcard.matchesUtf8(name), expected);
    QCOMPARE(wildcard.matches(FileNames::decode(name)), expected);
    QCOMPARE(FileNames::encode(FileNames::decode(name)), name);
}

QTEST_GUILESS_MAIN(tst_Wildcard)
#include "tst_wildcard.moc"
