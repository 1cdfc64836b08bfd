#pragma once

#include "engine/dispatchpass.h"
#include "platform/result.h"

#include <QDateTime>
#include <QList>
#include <QString>

// One line of the history: what happened to one file, or one failure, at one time.
struct HistoryEntry {
    QDateTime time;
    QString kind; // "moved", "started", "waiting", "failed"
    QString pattern;
    QString command;
    QString file;
    QString searchFolder;
    QString workFolder;
    qint64 processId = 0;
    QString step; // of a failure
    QString reason; // of a failure, as the operator reads it
};

// The history of every file: FenlowHistory.db, an SQLite file in the program folder, written
// in one transaction per pass and kept to the last 90 days and at most 1,000,000 entries.
// Several processes may write it; each waits for the others (busy timeout 15 s).
class History {
public:
    static const QString FileName;
    static constexpr int KeptDays = 90;
    static constexpr qint64 KeptEntries = 1000000;

    explicit History(QString path, qint64 keptEntries = KeptEntries);
    ~History();
    History(const History &) = delete;
    History &operator=(const History &) = delete;

    // Opens (creating the file and table where missing) and trims what is too old or too much.
    Result<> open(const QDateTime &now);
    // Writes a pass's events and failures in one transaction.
    Result<> record(const PassReport &report, const QString &searchFolder, const QString &workFolder);
    // Newest first: entries at or after since (when valid) whose file name contains fileText.
    Result<QList<HistoryEntry>> entries(const QDateTime &since, const QString &fileText, int limit = -1) const;

private:
    QString m_path;
    qint64 m_keptEntries;
    QString m_connectionName;
    bool m_open = false;
};

// Writes each pass into the history, opening it at the first pass; a history that cannot be
// written never fails a pass: its problem is told once, until writing works again.
class HistoryRecorder {
public:
    explicit HistoryRecorder(const QString &programFolder);
    // The operator's message when this is the first failure since the last success; else empty.
    [[nodiscard]] QString record(const PassReport &report, const QString &searchFolder, const QString &workFolder);

private:
    History m_history;
    bool m_opened = false;
    bool m_failing = false;
};
