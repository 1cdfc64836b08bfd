#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "platform/processlauncher.h"

class Clock;
class FileSystem;
class RuleStore;

// One failure of a pass: which rule and file, at which step, and the system's reason.
struct PassFailure {
    enum class Step {
        Folders, // the folder texts: nothing was moved
        Rule, // the rule's program cannot start: its files (waiting of them) stay in the search folder
        Move, // the file is still in the search folder
        Launch, // the file is in the work folder; its program did not start
        Store, // a change typed into the current rule could not be written
        Leftover, // a move that a process which ended left half done could not be put back
    };
    Step step = Step::Folders;
    QString pattern;
    QString file;
    QString reason;
    int waiting = 0; // Rule: how many files stay for a later pass
};

// One thing a pass did with one file, for the history and the operator's lines.
struct PassEvent {
    enum class Kind {
        Moved, // into the work folder
        Started, // its rule's program, processId
        Waiting, // still being written: left for a later pass
        WouldMove, // a dry run: would be moved, and the program started
    };
    Kind kind = Kind::Moved;
    QDateTime time;
    QString pattern;
    QString command;
    QString file;
    qint64 processId = 0;
};

struct PassReport {
    QDateTime startedAt;
    int filesMoved = 0;
    int programsLaunched = 0;
    int filesWaiting = 0; // still being written: left for a later pass, no failure
    QList<PassFailure> failures;
    QList<PassEvent> events; // in the order they happened
};

// What a pass works with besides the rules.
struct PassSetup {
    QString searchFolder;
    QString workFolder;
    FileSystem &files;
    ProcessLauncher &launcher;
    const Clock &clock; // the wall clock, read when a folder is listed
    int settleSeconds = 2; // a file modified this close to the listing waits (0: no such wait)
    bool dryRun = false; // list what would move and start, and change nothing
};

// What a started program finds in its environment about the file it was started for.
[[nodiscard]] LaunchEnvironment launchEnvironment(const QString &pattern, const QString &searchFolder,
                                                  const QString &workFolder, const QString &name);

// The operator's wording of one failure, and of a pass's failures as one report.
[[nodiscard]] QString describe(const PassFailure &failure);
[[nodiscard]] QString describe(const PassReport &report);
// A pass at a glance: "移動 4 件・起動 4 回", then "・待機 N 件" and "・問題 N 件" when there are any.
[[nodiscard]] QString describeCounts(const PassReport &report);
// The pass's files, one line each ("移動 a.txt"), the first max of them.
[[nodiscard]] QStringList describeFiles(const PassReport &report, int max);

// One dispatch pass: for each rule in cursor order, every plain file of the search folder that
// matches its pattern is moved into the work folder and the rule's program launched once for it.
// The first rule whose pattern matches a file owns it: when that rule cannot move the file or
// cannot start its program, the file stays for a later pass and no later rule takes it.
// A failure never ends the pass: the file or rule is passed over and reported. The cursor is
// left on the last row. A file still being written waits for a later pass, owned all the same.
// Before the rules, what a process that ended left half done is put back.
[[nodiscard]] PassReport runDispatchPass(RuleStore &rules, const PassSetup &setup);
