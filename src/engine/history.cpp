#include "engine/history.h"

#include "platform/filesystem.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

int nextConnectionNumber()
{
    static int number = 0;
    return ++number;
}

QString timeText(const QDateTime &time)
{
    return time.toString(Qt::ISODateWithMs);
}

QString stepName(PassFailure::Step step)
{
    switch (step) {
    case PassFailure::Step::Folders:
        return u"folders"_s;
    case PassFailure::Step::Rule:
        return u"rule"_s;
    case PassFailure::Step::Move:
        return u"move"_s;
    case PassFailure::Step::Launch:
        return u"launch"_s;
    case PassFailure::Step::Store:
        return u"store"_s;
    case PassFailure::Step::Leftover:
        return u"leftover"_s;
    }
    return {};
}

QString kindName(PassEvent::Kind kind)
{
    switch (kind) {
    case PassEvent::Kind::Moved:
        return u"moved"_s;
    case PassEvent::Kind::Started:
        return u"started"_s;
    case PassEvent::Kind::Waiting:
        return u"waiting"_s;
    case PassEvent::Kind::WouldMove:
        return u"would move"_s;
    }
    return {};
}

Result<> failed(const QString &path, const QSqlError &error)
{
    return Result<>::failure(u"処理履歴 %1 に書き込めません: %2"_s.arg(path, error.text()));
}

} // namespace

const QString History::FileName = u"FenlowHistory.db"_s;

History::History(QString path, qint64 keptEntries)
    : m_path(std::move(path))
    , m_keptEntries(keptEntries)
    , m_connectionName(u"History-%1"_s.arg(nextConnectionNumber()))
{
}

History::~History()
{
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase::database(m_connectionName, false).close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

Result<> History::open(const QDateTime &now)
{
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
        ? QSqlDatabase::database(m_connectionName, false)
        : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    db.setDatabaseName(m_path);
    db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=15000"_s);
    if (!db.open()) {
        return failed(m_path, db.lastError());
    }
    QSqlQuery query(db);
    const QStringList statements{
        u"create table if not exists history (id integer primary key, time text not null, kind text not null, "
        u"pattern text, command text, file text, search text, work text, pid integer, step text, reason text)"_s,
        u"create index if not exists history_time on history (time)"_s,
    };
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            return failed(m_path, query.lastError());
        }
    }
    query.prepare(u"delete from history where time < ?"_s);
    query.addBindValue(timeText(now.addDays(-KeptDays)));
    if (!query.exec()) {
        return failed(m_path, query.lastError());
    }
    query.prepare(u"delete from history where id <= (select max(id) from history) - ?"_s);
    query.addBindValue(m_keptEntries);
    if (!query.exec()) {
        return failed(m_path, query.lastError());
    }
    m_open = true;
    return Result<>::success();
}

Result<> History::record(const PassReport &report, const QString &searchFolder, const QString &workFolder)
{
    if (!m_open) {
        return Result<>::failure(u"処理履歴 %1 が開かれていません"_s.arg(m_path));
    }
    if (report.events.isEmpty() && report.failures.isEmpty()) {
        return Result<>::success();
    }
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.transaction()) {
        return failed(m_path, db.lastError());
    }
    QSqlQuery query(db);
    query.prepare(u"insert into history (time, kind, pattern, command, file, search, work, pid, step, reason) "
                  u"values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    const auto insert = [&](const QDateTime &time, const QString &kind, const QString &pattern, const QString &command,
                            const QString &file, qint64 pid, const QString &step, const QString &reason) {
        for (const QVariant &value : {QVariant(timeText(time)), QVariant(kind), QVariant(pattern), QVariant(command),
                                      QVariant(file), QVariant(searchFolder), QVariant(workFolder),
                                      pid > 0 ? QVariant(pid) : QVariant(), QVariant(step), QVariant(reason)}) {
            query.addBindValue(value);
        }
        return query.exec();
    };
    bool ok = true;
    for (const PassEvent &event : report.events) {
        ok = ok
            && insert(event.time, kindName(event.kind), event.pattern, event.command, event.file, event.processId, {},
                      {});
    }
    for (const PassFailure &failure : report.failures) {
        ok = ok
            && insert(report.startedAt, u"failed"_s, failure.pattern, {}, failure.file, 0, stepName(failure.step),
                      describe(failure));
    }
    if (!ok) {
        const QSqlError error = query.lastError();
        db.rollback();
        return failed(m_path, error);
    }
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        return failed(m_path, error);
    }
    return Result<>::success();
}

Result<QList<HistoryEntry>> History::entries(const QDateTime &since, const QString &fileText, int limit) const
{
    using Entries = Result<QList<HistoryEntry>>;
    if (!m_open) {
        return Entries::failure(u"処理履歴 %1 が開かれていません"_s.arg(m_path));
    }
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.prepare(u"select time, kind, pattern, command, file, search, work, pid, step, reason from history "
                  u"where time >= ? and instr(lower(coalesce(file, '')), lower(?)) > 0 "
                  u"order by time desc, id desc limit ?"_s);
    query.addBindValue(since.isValid() ? timeText(since) : QString(u""_s));
    query.addBindValue(fileText.isNull() ? u""_s : fileText); // a Null would match nothing
    query.addBindValue(limit);
    if (!query.exec()) {
        return Entries::failure(u"処理履歴 %1 を読めません: %2"_s.arg(m_path, query.lastError().text()));
    }
    QList<HistoryEntry> entries;
    while (query.next()) {
        entries.append({QDateTime::fromString(query.value(0).toString(), Qt::ISODateWithMs), query.value(1).toString(),
                        query.value(2).toString(), query.value(3).toString(), query.value(4).toString(),
                        query.value(5).toString(), query.value(6).toString(), query.value(7).toLongLong(),
                        query.value(8).toString(), query.value(9).toString()});
    }
    return entries;
}

HistoryRecorder::HistoryRecorder(const QString &programFolder)
    : m_history(joinPath(programFolder, History::FileName))
{
}

QString HistoryRecorder::record(const PassReport &report, const QString &searchFolder, const QString &workFolder)
{
    Result<> written = Result<>::success();
    if (!m_opened) {
        written = m_history.open(report.startedAt.isValid() ? report.startedAt : QDateTime::currentDateTime());
        m_opened = written.ok();
    }
    if (written) {
        written = m_history.record(report, searchFolder, workFolder);
    }
    if (written) {
        m_failing = false;
        return {};
    }
    if (m_failing) {
        return {}; // told already
    }
    m_failing = true;
    return written.reason();
}
