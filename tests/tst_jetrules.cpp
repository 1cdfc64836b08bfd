#include "platform/jetrules.h"
#include "support/jetfixtures.h"
#include "support/programfolderfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString fixture(const char *name)
{
    return JetFixtures::path(QLatin1String(name));
}

QStringList shown(const QList<JetRules::Rule> &rules)
{
    QList<std::pair<QVariant, QVariant>> rows;
    for (const JetRules::Rule &rule : rules) {
        rows.append({rule.fileName, rule.batFile});
    }
    return JetFixtures::shown(rows);
}

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
    QTest::newRow("Jet 4 (2000)") << fixture("attfile-v2000.mdb") << JetFixtures::setA();
    QTest::newRow("Jet 3 (97)") << fixture("attfile-v97.mdb") << JetFixtures::setB();
    QTest::newRow("empty table") << fixture("attfile-empty-v2000.mdb") << QStringList{};
    QTest::newRow("extra columns ignored")
        << fixture("attfile-extra-columns-v2000.mdb") << JetFixtures::setA().mid(0, 3);
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
