#include "engine/ruleimport.h"
#include "support/jetfixtures.h"
#include "support/programfolderfixture.h"
#include "support/testfolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using TestFolders::entries;

namespace {

QString fixture(const QString &name)
{
    return JetFixtures::path(name);
}

// Rows as the table holds them, in the order they were written.
QStringList stored(const QString &database)
{
    return JetFixtures::shown(TestFolders::readRules(database));
}

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

} // namespace

class tst_RuleImport : public QObject {
    Q_OBJECT
private slots:
    void convertsInPlaceKeepingTheOriginal_data();
    void convertsInPlaceKeepingTheOriginal();
    void failureChangesNothing_data();
    void failureChangesNothing();
};

void tst_RuleImport::convertsInPlaceKeepingTheOriginal_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("Jet 4 (2000)") << "attfile-v2000.mdb" << JetFixtures::setA();
    QTest::newRow("Jet 3 (97)") << "attfile-v97.mdb" << JetFixtures::setB();
    QTest::newRow("empty table") << "attfile-empty-v2000.mdb" << QStringList{};
    QTest::newRow("extra columns") << "attfile-extra-columns-v2000.mdb" << JetFixtures::setA().mid(0, 3);
}

void tst_RuleImport::convertsInPlaceKeepingTheOriginal()
{
    QFETCH(QString, file);
    QFETCH(QStringList, rows);
    QTemporaryDir dir;
    const QString target = dir.filePath(u"AttFile.mdb"_s);
    QVERIFY(QFile::copy(fixture(file), target));
    const QByteArray original = hashOf(target);
    TestFolders::writeFile(dir.filePath(u"AttFile.mdb.jet"_s), "an earlier conversion's original");

    const Result<QString> converted = RuleImport::convert(target, target, target + u".jet"_s);
    QVERIFY2(converted.ok(), qPrintable(converted.reason()));
    QCOMPARE(converted.value(), target + u".jet.1"_s); // never overwritten
    QCOMPARE(hashOf(target + u".jet.1"_s), original);
    QCOMPARE(stored(target), rows);
    QCOMPARE(entries(dir.path()), (QStringList{u"AttFile.mdb"_s, u"AttFile.mdb.jet"_s, u"AttFile.mdb.jet.1"_s}));
}

void tst_RuleImport::failureChangesNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no FileList") << "attfile-notable-v2000.mdb"
                                 << "FileList";
    QTest::newRow("truncated") << "attfile-truncated.mdb"
                               << "途中で切れています";
    QTest::newRow("not a database") << "attfile-garbage.mdb"
                                    << "Jet データベースではありません";
}

void tst_RuleImport::failureChangesNothing()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString target = dir.filePath(u"AttFile.mdb"_s);
    QVERIFY(QFile::copy(fixture(file), target));
    const QByteArray before = hashOf(target);
    const Result<QString> converted = RuleImport::convert(target, target, target + u".jet"_s);
    QVERIFY(!converted.ok());
    QVERIFY2(converted.reason().contains(target), qPrintable(converted.reason()));
    QVERIFY2(converted.reason().contains(reason), qPrintable(converted.reason()));
    QCOMPARE(entries(dir.path()), QStringList{u"AttFile.mdb"_s});
    QCOMPARE(hashOf(target), before);
}

QTEST_GUILESS_MAIN(tst_RuleImport)
#include "tst_ruleimport.moc"
