#include "platform/settingsstore.h"
#include "support/fakes.h"
#include "ui/windowplacement.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_WindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void text_data();
    void text();
    void read_data();
    void read();
    void writesFourEntriesInOrder();
    void userStoreIsIsolatedInTests();
};

void tst_WindowPlacement::text_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole number") << "C" << 6500.0f << "6500";
    QTest::newRow("no thousands separator") << "en_US" << 1234567.0f << "1234567";
    QTest::newRow("fewest digits") << "C" << 1000.5f << "1000.5";
    QTest::newRow("negative, off screen") << "C" << -1500.0f << "-1500";
    QTest::newRow("decimal comma") << "de_DE" << 1000.5f << "1000,5";
}

void tst_WindowPlacement::text()
{
    QFETCH(QString, locale);
    QFETCH(float, value);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(placementText(value), expected);
    QCOMPARE(placementNumber(expected), value);
}

void tst_WindowPlacement::read_data()
{
    QTest::addColumn<QStringList>("entries"); // key=text pairs
    QTest::addColumn<QList<float>>("expected");
    QTest::newRow("no entries: defaults") << QStringList{} << QList<float>{1000, 1000, 6500, 6500};
    QTest::newRow("all entries") << QStringList{"MainLeft=15", "MainTop=30", "MainWidth=9000", "MainHeight=7005"}
                                 << QList<float>{15, 30, 9000, 7005};
    QTest::newRow("only the width") << QStringList{"MainWidth=8000"} << QList<float>{1000, 1000, 8000, 6500};
    QTest::newRow("not a number: its default")
        << QStringList{"MainLeft=abc", "MainTop=120"} << QList<float>{1000, 120, 6500, 6500};
    QTest::newRow("off the screen, as it stands")
        << QStringList{"MainLeft=-30000", "MainTop=99000"} << QList<float>{-30000, 99000, 6500, 6500};
}

void tst_WindowPlacement::read()
{
    QFETCH(QStringList, entries);
    QFETCH(QList<float>, expected);
    FakeSettingsStore store;
    for (const QString &entry : entries) {
        store.entries.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    }
    const WindowPlacement placement = readWindowPlacement(store);
    QCOMPARE((QList<float>{placement.left, placement.top, placement.width, placement.height}), expected);
}

void tst_WindowPlacement::writesFourEntriesInOrder()
{
    FakeSettingsStore store;
    QVERIFY(writeWindowPlacement(store, {1500, 1005, 6930, 5745}).ok());
    QCOMPARE(store.written, (QStringList{"MainLeft", "MainTop", "MainWidth", "MainHeight"}));
    QCOMPARE(store.entries.value(u"MainHeight"_s), u"5745"_s);
    store.writeFailure = u"read-only"_s;
    QCOMPARE(writeWindowPlacement(store, {1, 2, 3, 4}).reason(), u"read-only"_s);
    QCOMPARE(store.entries.value(u"MainLeft"_s), u"1500"_s);
}

void tst_WindowPlacement::userStoreIsIsolatedInTests()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings probe(u"Fenlow"_s, u"Fenlow"_s);
    QVERIFY(probe.fileName().contains(QLatin1String(".qttest")));
    probe.clear();
    probe.sync();

    UserSettingsStore store;
    QCOMPARE(store.read(u"MainLeft"_s, u"1000"_s), u"1000"_s);
    QVERIFY(store.write(u"MainLeft"_s, u"2250"_s).ok());
    QCOMPARE(store.read(u"MainLeft"_s, u"1000"_s), u"2250"_s);
    QSettings check(u"Fenlow"_s, u"Fenlow"_s);
    QCOMPARE(check.value(u"Settings/MainLeft"_s).toString(), u"2250"_s);
    check.clear();
}

QTEST_GUILESS_MAIN(tst_WindowPlacement)
#include "tst_windowplacement.moc"
