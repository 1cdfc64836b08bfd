#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <sys/types.h>
#include <vector>

// Starts the rules' programs.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Why commandLine could not start (empty, program not found or not executable);
    // empty when it looks startable.
    [[nodiscard]] virtual QString problemWith(const QString &commandLine) = 0;
    // Starts commandLine without waiting for it; the reason it did not start, or empty.
    [[nodiscard]] virtual QString launch(const QString &commandLine) = 0;
};

// Splits the command line as a shell would quote it (no shell runs) and spawns the program
// in a session of its own, in workingFolder, with no descriptor of ours. One spawn per launch
// keeps a pass over thousands of files close to what the system itself costs; the ended
// programs are reaped at the next launches and once a second, so none stays a zombie.
class DetachedProcessLauncher final : public QObject, public ProcessLauncher {
    Q_OBJECT
public:
    explicit DetachedProcessLauncher(QString workingFolder, QObject *parent = nullptr);
    ~DetachedProcessLauncher() override;
    QString problemWith(const QString &commandLine) override;
    QString launch(const QString &commandLine) override;
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
