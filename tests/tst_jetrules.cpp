#include "platform/jetrules.h"
#include "support/programfolderfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(FENLOW_TEST_DATA "/jet/") + QLatin1String(name);
}

// Rows as text, Null written <null>, so that a table can say them.
QStringList shown(const QList<JetRules::Rule> &rules)
{
    QStringList rows;
    for (const JetRules::Rule &rule : rules) {
        const auto value
            = [](const QVariant &v) { return v.isNull() ? u"<null>"_s : u"「"_s + v.toString() + u"」"_s; };
        rows.append(value(rule.fileName) + u' ' + value(rule.batFile));
    }
    return rows;
}

const QStringList kSetA{u"「*.csv」 「/opt/tools/import-csv」"_s,
                        u"「見積*.xls」 「/opt/tools/見積処理 --mode=full」"_s,
                        u"「report??.txt」 「\"/opt/my tools/report\" a b」"_s,
                        u"<null> 「/bin/true」"_s,
                        u"「」 「/bin/false」"_s,
                        u"「*.dat」 <null>"_s,
                        u"「*.csv」 「/opt/tools/second-csv」"_s};

} // namespace

class tst_JetRules : public QObject {
    Q_OBJECT
private slots:
    void readsEveryRow_data();
    void readsEveryRow();
    void refuses_data();
    void refuses();
    void recognisedByItsHeader();
};

void tst_JetRules::readsEveryRow_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("rows");
    QStringList setB = kSetA;
    setB.removeAt(1);
    QTest::newRow("Jet 4 (2000)") << fixture("attfile-v2000.mdb") << kSetA;
    QTest::newRow("Jet 3 (97)") << fixture("attfile-v97.mdb") << setB;
    QTest::newRow("empty table") << fixture("attfile-empty-v2000.mdb") << QStringList{};
    QTest::newRow("extra columns ignored") << fixture("attfile-extra-columns-v2000.mdb") << kSetA.mid(0, 3);
}

void tst_JetRules::readsEveryRow()
{
    QFETCH(QString, file);
    QFETCH(QStringList, rows);
    const Result<QList<JetRules::Rule>> read = JetRules::read(file);
    QVERIFY2(read.ok(), qPrintable(read.reason()));
    QCOMPARE(shown(read.value()), rows);
}

void tst_JetRules::refuses_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("codePage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no FileList") << fixture("attfile-notable-v2000.mdb") << "CP932"
                                 << "FileList";
    QTest::newRow("truncated") << fixture("attfile-truncated.mdb") << "CP932"
                               << "途中で切れています";
    QTest::newRow("not a database") << fixture("attfile-garbage.mdb") << "CP932"
                                    << "Jet データベースではありません";
    // "*.csv" is 5 bytes, which UTF-16 cannot decode: the error names the row and the column.
    QTest::newRow("Jet 3 text outside the code page named") << fixture("attfile-v97.mdb") << "UTF-16LE"
                                                            << "1 行目の FileName";
}

void tst_JetRules::refuses()
{
    QFETCH(QString, file);
    QFETCH(QString, codePage);
    QFETCH(QString, reason);
    const Result<QList<JetRules::Rule>> read = JetRules::read(file, codePage);
    QVERIFY(!read.ok());
    QVERIFY2(read.reason().contains(reason), qPrintable(read.reason()));
}

void tst_JetRules::recognisedByItsHeader()
{
    QVERIFY(JetRules::isJetFile(fixture("attfile-v97.mdb")));
    QVERIFY(JetRules::isJetFile(fixture("attfile-truncated.mdb")));
    QVERIFY(!JetRules::isJetFile(fixture("attfile-garbage.mdb")));
    ProgramFolderFixture sqlite({{text("*"), text("prog")}});
    QVERIFY(!JetRules::isJetFile(sqlite.database));
}

QTEST_GUILESS_MAIN(tst_JetRules)
#include "tst_jetrules.moc"
