#pragma once

#include "engine/dispatchpass.h"

#include <QSet>
#include <QString>

#include <optional>
#include <utility>

// Decides how a pass's problems reach the operator, so that a problem met minute after minute
// does not demand attention every minute. Folder problems (empty or identical folder texts)
// are shown once for the folders that cause them, and again only after the folders change;
// a report whose problems were all in the previous pass's report updates the box quietly;
// a problem the previous pass did not have raises it.
class ProblemMemory {
public:
    enum class Attention {
        None, // nothing to show
        Quiet, // update an open report without raising it or taking the focus
        Raise, // show the report in front
    };
    struct Decision {
        Attention attention = Attention::None;
        PassReport report; // what to show: the pass's report without the folder problems already shown
    };

    [[nodiscard]] Decision take(const PassReport &report, const QString &searchFolder, const QString &workFolder);

private:
    std::optional<std::pair<QString, QString>> m_folderProblemShownFor;
    QSet<QString> m_previousProblems;
};
