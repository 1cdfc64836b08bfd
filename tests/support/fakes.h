#pragma once

#include "platform/browser.h"
#include "platform/clock.h"
#include "platform/messageboxes.h"
#include "platform/posixfilesystem.h"
#include "platform/processlauncher.h"
#include "platform/profilefile.h"
#include "platform/programfolder.h"
#include "platform/settingsstore.h"

#include <QHash>
#include <QStringList>

#include <functional>

// Success, or a failure with reason when the test set one.
inline Result<> orFailure(const QString &reason)
{
    return reason.isEmpty() ? Result<>::success() : Result<>::failure(reason);
}

class FakeClock final : public Clock {
public:
    QDateTime now() const override { return m_now; }
    // The time of day on the date the clock shows.
    void set(QTime time) { m_now.setTime(time); }
    void set(const QDateTime &now) { m_now = now; }

private:
    QDateTime m_now{QDate(2026, 1, 15), QTime(0, 0, 0)};
};

// Records the texts that would have been shown.
class FakeMessageBoxes final : public MessageBoxes {
public:
    void show(const QString &text) override { shown.append(text); }
    bool ask(const QString &text) override
    {
        asked.append(text);
        return answer;
    }
    QStringList asked; // questions
    bool answer = true; // the operator's answer to each
    void showWithoutBlocking(const QString &text) override { reports.append(text); }
    void updateReport(const QString &text) override { quietUpdates.append(text); }
    QStringList shown; // modal boxes
    QStringList reports; // boxes that did not block, raised
    QStringList quietUpdates; // reports that updated an open box without raising it
};

// Records the pages asked for.
class FakeBrowser final : public Browser {
public:
    Result<> open(const QString &path) override
    {
        opened.append(path);
        return orFailure(failure);
    }
    QStringList opened;
    QString failure;
};

class FakeProgramFolder final : public ProgramFolder {
public:
    explicit FakeProgramFolder(QString path)
        : m_path(std::move(path))
    {
    }
    QString path() const override { return m_path; }
    Result<> makeCurrent() override
    {
        ++madeCurrent;
        return orFailure(failure);
    }
    Result<bool> create() override { return createProgramFolder(m_path); }
    QString installedManual() const override { return installedManualPath; }
    QString failure;
    QString installedManualPath = QStringLiteral("/usr/share/doc/fenlow/Fenguide.htm");
    int madeCurrent = 0;

private:
    QString m_path;
};

// The per-user settings store in memory.
class FakeSettingsStore final : public SettingsStore {
public:
    QString read(const QString &key, const QString &defaultText) const override
    {
        return entries.value(key, defaultText);
    }
    Result<> write(const QString &key, const QString &text) override
    {
        if (!writeFailure.isEmpty()) {
            return Result<>::failure(writeFailure);
        }
        entries.insert(key, text);
        written.append(key);
        return Result<>::success();
    }
    QHash<QString, QString> entries;
    QString writeFailure;
    QStringList written; // keys in the order written
};

// The real profile file, with reads and writes that can be made to fail as a file the
// operator cannot read or write would.
class FakeProfileFile final : public ProfileFile {
public:
    Result<QString> getString(const QString &path, const QString &section, const QString &key,
                              const QString &defaultValue, int bufferBytes) override;
    Result<> writeString(const QString &path, const QString &section, const QString &key,
                         const QString &value) override;

    QHash<QString, QString> readFailures; // key -> reason
    QString writeFailure; // every write fails with this reason when set

private:
    IniProfileFile m_real;
};

// The real file system, with moves that can fail or find their file gone, and a shared log.
class FakeFileSystem final : public FileSystem {
public:
    explicit FakeFileSystem(QStringList *log = nullptr)
        : m_log(log)
    {
    }
    QStringList listPlainFiles(const QString &folder, const QString &pattern) override;
    Result<MoveOutcome> moveFile(const QString &source, const QString &destination, const SettleRule &settle) override;
    QStringList recoverAbandoned(const QString &searchFolder, const QString &workFolder) override
    {
        return m_real.recoverAbandoned(searchFolder, workFolder);
    }
    bool isSameFolder(const QString &a, const QString &b) override { return m_real.isSameFolder(a, b); }
    Result<> checkFolder(const QString &folder, bool forListing) override
    {
        if (unreadableFolders.contains(folder)) {
            return Result<>::failure(QStringLiteral("Permission denied"));
        }
        return m_real.checkFolder(folder, forListing);
    }
    QStringList unreadableFolders; // folders that cannot be listed, as root cannot make them

    QHash<QString, QString> moveFailures; // file name -> reason
    QStringList stillBeingWritten; // file names that wait
    QList<SettleRule> settleRules; // as each move was given it
    std::function<void(const QString &)> beforeMove; // given the source path

private:
    PosixFileSystem m_real;
    QStringList *m_log;
};

// Records launches instead of starting anything.
class FakeProcessLauncher final : public ProcessLauncher {
public:
    explicit FakeProcessLauncher(QStringList *log = nullptr)
        : m_log(log)
    {
    }
    Result<> canStart(const QString &commandLine) override;
    Result<qint64> launch(const QString &commandLine, const LaunchEnvironment &environment) override;

    QHash<QString, QString> problems; // command line -> reason
    QHash<QString, QString> launchFailures; // command line -> reason
    QStringList launched;
    QList<LaunchEnvironment> environments; // of each start, in order

private:
    QStringList *m_log;
};
