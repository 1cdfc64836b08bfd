#include "engine/problemmemory.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Attention = ProblemMemory::Attention;

namespace {

// "SEARCH WORK: problem, problem": the folders of a pass and its problems, each "folders"
// (a folder problem) or the name of a file whose move failed.
PassReport passReport(const QString &pass, QString *search, QString *work)
{
    const QStringList halves = pass.split(u':');
    const QStringList folders = halves[0].split(u' ');
    *search = folders[0];
    *work = folders[1];
    PassReport report;
    for (const QString &problem : halves[1].split(u',', Qt::SkipEmptyParts)) {
        if (problem.trimmed() == QLatin1String("folders")) {
            report.failures.append({PassFailure::Step::Folders, {}, {}, u"same folder"_s, 0});
        } else {
            report.failures.append({PassFailure::Step::Move, u"*"_s, problem.trimmed(), u"busy"_s, 0});
        }
    }
    return report;
}

QString word(Attention attention)
{
    switch (attention) {
    case Attention::None:
        return u"none"_s;
    case Attention::Quiet:
        return u"quiet"_s;
    case Attention::Raise:
        return u"raise"_s;
    }
    return {};
}

} // namespace

class tst_ProblemMemory : public QObject {
    Q_OBJECT
private slots:
    void eachProblemDemandsAttentionOnce_data();
    void eachProblemDemandsAttentionOnce();
};

void tst_ProblemMemory::eachProblemDemandsAttentionOnce_data()
{
    QTest::addColumn<QStringList>("passes");
    QTest::addColumn<QString>("attention"); // one word per pass
    QTest::newRow("the same failure every minute") << QStringList{"s w: a", "s w: a", "s w: a"} << "raise quiet quiet";
    QTest::newRow("a new failure raises the box again")
        << QStringList{"s w: a", "s w: a,b", "s w: b", "s w: b,a"} << "raise raise quiet raise";
    QTest::newRow("a failure that went away and came back")
        << QStringList{"s w: a", "s w:", "s w: a"} << "raise none raise";
    QTest::newRow("folder problem once, again after the folders change")
        << QStringList{"s s: folders", "s s: folders", "t t: folders", "t t: folders", "s s: folders"}
        << "raise none raise none raise";
    QTest::newRow("folder problem again after a pass without it")
        << QStringList{"s s: folders", "s w:", "s s: folders"} << "raise none raise";
}

void tst_ProblemMemory::eachProblemDemandsAttentionOnce()
{
    QFETCH(QStringList, passes);
    QFETCH(QString, attention);
    ProblemMemory memory;
    QStringList seen;
    for (const QString &pass : passes) {
        QString search;
        QString work;
        const PassReport report = passReport(pass, &search, &work);
        const ProblemMemory::Decision decision = memory.take(report, search, work);
        seen.append(word(decision.attention));
        // What is shown is the pass's report, less only a folder problem already shown.
        if (decision.attention != Attention::None) {
            QCOMPARE(decision.report.failures.size(), report.failures.size());
        }
        QCOMPARE(decision.report.filesMoved, report.filesMoved);
    }
    QCOMPARE(seen.join(u' '), attention);
}

QTEST_GUILESS_MAIN(tst_ProblemMemory)
#include "tst_problemmemory.moc"
