#include "engine/problemmemory.h"

namespace {

// One problem, apart from counts that change from pass to pass.
QString identity(const PassFailure &failure)
{
    return QStringList{QString::number(int(failure.step)), failure.pattern, failure.file, failure.reason}.join(
        QChar(0));
}

} // namespace

ProblemMemory::Decision ProblemMemory::take(const PassReport &report, const QString &searchFolder,
                                            const QString &workFolder)
{
    Decision decision{Attention::None, report};
    const auto folders = std::make_pair(searchFolder, workFolder);
    const bool folderProblem = std::any_of(report.failures.begin(), report.failures.end(),
                                           [](const PassFailure &f) { return f.step == PassFailure::Step::Folders; });
    if (!folderProblem) {
        m_folderProblemShownFor.reset(); // a problem that went away and comes back is news again
    } else if (m_folderProblemShownFor == folders) {
        decision.report.failures.removeIf([](const PassFailure &f) { return f.step == PassFailure::Step::Folders; });
    } else {
        m_folderProblemShownFor = folders;
    }

    QSet<QString> problems;
    for (const PassFailure &failure : decision.report.failures) {
        problems.insert(identity(failure));
    }
    if (!problems.isEmpty()) {
        decision.attention = m_previousProblems.contains(problems) ? Attention::Quiet : Attention::Raise;
    }
    m_previousProblems = problems;
    return decision;
}
