#include "engine/minuteclock.h"
#include "support/fakes.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_MinuteClock : public QObject {
    Q_OBJECT
private slots:
    void passAtEachNewMinute_data();
    void passAtEachNewMinute();
    void markerFollowsTheSecondsParity();
};

void tst_MinuteClock::passAtEachNewMinute_data()
{
    // "on" and "off" press the switch; a number is a tick that reads that second.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("passes");

    const auto steps = [](const char *text) { return QString::fromLatin1(text).split(u' '); };
    QTest::newRow("first tick never passes, even at second 0") << steps("on 0") << 0;
    QTest::newRow("first tick after 59 never passes") << steps("on 59") << 0;
    QTest::newRow("switched on at 30, pass at the next 0") << steps("on 31 32 59 0 1") << 1;
    QTest::newRow("late tick reads 1") << steps("on 58 59 1") << 1;
    QTest::newRow("two ticks in one second") << steps("on 10 10 10") << 0;
    QTest::newRow("tick delayed from 58 to 3") << steps("on 57 58 3") << 1;
    QTest::newRow("gap of minutes, later second") << steps("on 20 45") << 0;
    QTest::newRow("gap of minutes, earlier second: one pass only") << steps("on 20 10") << 1;
    QTest::newRow("long pass begun at 0 ends at 30") << steps("on 59 0 30 59") << 1;
    QTest::newRow("long pass ends a minute later at an earlier second") << steps("on 59 10 5") << 2;
    QTest::newRow("clock set back within a minute") << steps("on 40 10") << 1;
    QTest::newRow("start, stop, start within a minute") << steps("on 50 off on 10") << 0;
    QTest::newRow("the same without the restart") << steps("on 50 10") << 1;
    QTest::newRow("ticks while off never pass") << steps("on 50 off 55 10") << 0;
    QTest::newRow("ticks while off still record the second") << steps("on 50 off 55 on 56 10") << 1;

    QStringList twoMinutes{u"on"_s};
    for (int round = 0; round < 2; ++round) {
        for (int second = 0; second < 60; ++second) {
            twoMinutes.append(QString::number(second));
        }
    }
    twoMinutes.append(u"0"_s);
    QTest::newRow("a tick every second for two minutes") << twoMinutes << 2;
}

void tst_MinuteClock::passAtEachNewMinute()
{
    QFETCH(QStringList, steps);
    QFETCH(int, passes);
    FakeClock clock;
    MinuteClock minuteClock(clock);
    bool on = false;
    int ran = 0;
    for (const QString &step : steps) {
        if (step == QLatin1String("on")) {
            on = true;
            minuteClock.switchedOn();
        } else if (step == QLatin1String("off")) {
            on = false;
        } else {
            clock.set(QTime(12, 0, step.toInt()));
            const MinuteClock::Tick tick = minuteClock.begin(on);
            ran += tick.runPass ? 1 : 0;
            minuteClock.end(tick);
            QCOMPARE(minuteClock.lastTickSecond(), step.toInt());
        }
    }
    QCOMPARE(ran, passes);
}

void tst_MinuteClock::markerFollowsTheSecondsParity()
{
    FakeClock clock;
    MinuteClock minuteClock(clock);
    minuteClock.switchedOn();
    QCOMPARE(minuteClock.lastTickSecond(), qint16(-1));
    for (int second : {0, 1, 2, 37, 58, 59}) {
        clock.set(QTime(9, 30, second));
        const MinuteClock::Tick tick = minuteClock.begin(true);
        QCOMPARE(tick.markerVisible, second % 2 == 0);
        QCOMPARE(tick.second, second);
        minuteClock.end(tick);
    }
}

QTEST_GUILESS_MAIN(tst_MinuteClock)
#include "tst_minuteclock.moc"
