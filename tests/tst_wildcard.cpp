#include "platform/wildcard.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Wildcard : public QObject {
    Q_OBJECT
private slots:
    void matches_data();
    void matches();
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

QTEST_GUILESS_MAIN(tst_Wildcard)
#include "tst_wildcard.moc"
