#include "engine/history.h"
#include "support/testfolders.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kNoon(QDate(2026, 5, 1), QTime(12, 0));

// A pass at time that moved and started name, with one failure for other.
PassReport passAt(const QDateTime &time, const QString &name, const QString &other = {})
{
    PassReport report;
    report.startedAt = time;
    report.events.append({PassEvent::Kind::Moved, time, u"*.txt"_s, u"prog"_s, name, 0});
    report.events.append({PassEvent::Kind::Started, time.addMSecs(5), u"*.txt"_s, u"prog"_s, name, 4242});
    if (!other.isEmpty()) {
        report.failures.append({PassFailure::Step::Move, u"*.txt"_s, other, u"busy"_s, 0});
    }
    return report;
}

QStringList summary(const QList<HistoryEntry> &entries)
{
    QStringList lines;
    for (const HistoryEntry &entry : entries) {
        lines.append(entry.kind + u' ' + entry.file);
    }
    return lines;
}

} // namespace

class tst_History : public QObject {
    Q_OBJECT
private slots:
    void recordsEveryFileNewestFirst();
    void filters_data();
    void filters();
    void keepsNinetyDaysAndAtMostItsEntries();
    void failureToWriteIsToldOnce();
};

void tst_History::recordsEveryFileNewestFirst()
{
    QTemporaryDir dir;
    History history(dir.filePath(History::FileName));
    QVERIFY(history.open(kNoon).ok());
    QVERIFY(history.record(passAt(kNoon, u"a.txt"_s), u"/in"_s, u"/work"_s).ok());
    QVERIFY(history.record(passAt(kNoon.addSecs(60), u"b.txt"_s, u"c.txt"_s), u"/in"_s, u"/work"_s).ok());

    const Result<QList<HistoryEntry>> all = history.entries({}, {});
    QVERIFY(all.ok());
    QCOMPARE(summary(all.value()),
             (QStringList{"started b.txt", "failed c.txt", "moved b.txt", "started a.txt", "moved a.txt"}));
    const HistoryEntry &started = all.value()[0];
    QCOMPARE(started.processId, 4242);
    QCOMPARE(started.pattern, u"*.txt"_s);
    QCOMPARE(started.command, u"prog"_s);
    QCOMPARE(started.searchFolder, u"/in"_s);
    QCOMPARE(started.workFolder, u"/work"_s);
    QCOMPARE(started.time, kNoon.addSecs(60).addMSecs(5));
    const HistoryEntry &failed = all.value()[1];
    QCOMPARE(failed.step, u"move"_s);
    QVERIFY(failed.reason.contains(u"busy"_s));

    // Another process's history object sees the same file.
    History other(dir.filePath(History::FileName));
    QVERIFY(other.open(kNoon.addSecs(120)).ok());
    QCOMPARE(other.entries({}, {}).value().size(), 5);
}

void tst_History::filters_data()
{
    QTest::addColumn<QDateTime>("since");
    QTest::addColumn<QString>("fileText");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("by name, any case") << QDateTime() << "B.T" << QStringList{"started b.txt", "moved b.txt"};
    QTest::newRow("since a time") << kNoon.addSecs(30) << "" << QStringList{"started b.txt", "moved b.txt"};
    QTest::newRow("nothing matches") << QDateTime() << "zzz" << QStringList{};
}

void tst_History::filters()
{
    QFETCH(QDateTime, since);
    QFETCH(QString, fileText);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    History history(dir.filePath(History::FileName));
    QVERIFY(history.open(kNoon).ok());
    QVERIFY(history.record(passAt(kNoon, u"a.txt"_s), u"/in"_s, u"/work"_s).ok());
    QVERIFY(history.record(passAt(kNoon.addSecs(60), u"b.txt"_s), u"/in"_s, u"/work"_s).ok());
    QCOMPARE(summary(history.entries(since, fileText).value()), expected);
}

void tst_History::keepsNinetyDaysAndAtMostItsEntries()
{
    QTemporaryDir dir;
    {
        History history(dir.filePath(History::FileName), 3);
        QVERIFY(history.open(kNoon).ok());
        QVERIFY(history.record(passAt(kNoon.addDays(-100), u"old.txt"_s), {}, {}).ok());
        QVERIFY(history.record(passAt(kNoon.addDays(-80), u"a.txt"_s), {}, {}).ok());
        QVERIFY(history.record(passAt(kNoon.addDays(-1), u"b.txt"_s), {}, {}).ok());
    }
    // Trimmed when it is opened next: older than 90 days, then all but the last 3 entries.
    History history(dir.filePath(History::FileName), 3);
    QVERIFY(history.open(kNoon).ok());
    QCOMPARE(summary(history.entries({}, {}).value()), (QStringList{"started b.txt", "moved b.txt", "started a.txt"}));
}

void tst_History::failureToWriteIsToldOnce()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"gone"_s); // a program folder that is not there
    HistoryRecorder recorder(folder);
    const QString first = recorder.record(passAt(kNoon, u"a.txt"_s), {}, {});
    QVERIFY(first.contains(History::FileName));
    QVERIFY(recorder.record(passAt(kNoon, u"b.txt"_s), {}, {}).isEmpty());

    // Once it can be written again, a later failure is told again.
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(recorder.record(passAt(kNoon, u"c.txt"_s), {}, {}).isEmpty());
    History written(folder + u"/"_s + History::FileName);
    QVERIFY(written.open(kNoon).ok());
    QCOMPARE(summary(written.entries({}, {}).value()), (QStringList{"started c.txt", "moved c.txt"}));
}

QTEST_GUILESS_MAIN(tst_History)
#include "tst_history.moc"
