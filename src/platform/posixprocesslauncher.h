#pragma once

#include "platform/processlauncher.h"

#include <QObject>
#include <QTimer>

#include <sys/types.h>
#include <vector>

// Splits the command line as a shell would quote it (no shell runs) and spawns the program
// in a session of its own, in workingFolder, with no descriptor of ours. One spawn per launch
// keeps a pass over thousands of files close to what the system itself costs; the ended
// programs are reaped at the next launches and once a second, so none stays a zombie.
class PosixProcessLauncher final : public QObject, public ProcessLauncher {
    Q_OBJECT
public:
    explicit PosixProcessLauncher(QString workingFolder, QObject *parent = nullptr);
    ~PosixProcessLauncher() override;
    Result<> canStart(const QString &commandLine) override;
    Result<qint64> launch(const QString &commandLine, const LaunchEnvironment &environment) override;
    // Programs started and not yet seen to end.
    [[nodiscard]] int runningCount() const { return int(m_running.size()); }

private:
    void reapSome(std::size_t budget);
    void reapAll();

    QString m_workingFolder;
    std::vector<pid_t> m_running;
    std::size_t m_nextToReap = 0;
    QTimer m_reaper;
};
