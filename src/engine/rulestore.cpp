#include "engine/rulestore.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

QString noCurrentRow()
{
    return u"現在の行がありません (BOF か EOF、または削除された行です)。"_s;
}

QString fileUri(const QString &path)
{
    // SQLite's URI form keeps it from creating a database that is not there.
    return u"file:"_s + QString::fromLatin1(path.toUtf8().toPercentEncoding("/")) + u"?mode=rw"_s;
}

int nextConnectionNumber()
{
    static int number = 0;
    return ++number;
}

} // namespace

StoreError::StoreError(const QString &description)
    : std::runtime_error(description.toStdString())
{
}

QString StoreError::description() const
{
    return QString::fromStdString(what());
}

const QString RuleStore::databaseName = u"AttFile.mdb"_s;
const QString RuleStore::RecordSource = u"select FileName,BatFile from FileList Order by FileName"_s;

Result<> RuleStore::createEmpty(const QString &path)
{
    if (QFileInfo::exists(path)) {
        return Result<>::failure(u"ファイルがすでにあります"_s);
    }
    const QString connection = u"RuleStore-create-%1"_s.arg(nextConnectionNumber());
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            QSqlQuery query(db);
            if (!query.exec(u"create table FileList (FileName text, BatFile text)"_s)) {
                failure = query.lastError().text();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!failure.isEmpty()) {
        QFile::remove(path);
        return Result<>::failure(failure);
    }
    return Result<>::success();
}

// The record source asks for the columns alone; the store also needs each row's identity
// to write it back, so the same query is run with the rowid as its first column, whatever
// the case and spacing of its "select".
QString RuleStore::identifiedQuery(const QString &recordSource)
{
    static const QRegularExpression select(u"^\\s*select\\s+"_s, QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = select.match(recordSource);
    if (!match.hasMatch()) {
        throw StoreError(u"規則を読み込む問い合わせ「%1」が select で始まっていません。"_s.arg(recordSource));
    }
    return match.captured() + u"rowid, "_s + recordSource.mid(match.capturedEnd());
}

RuleStore::RuleStore(QString databasePath, QObject *parent)
    : QObject(parent)
    , m_databasePath(std::move(databasePath))
    , m_connectionName(u"RuleStore-%1"_s.arg(nextConnectionNumber()))
{
}

RuleStore::~RuleStore()
{
    Close();
}

void RuleStore::connectDatabase()
{
    if (QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen()) {
        return;
    }
    if (!QFileInfo(m_databasePath).isFile()) {
        throw StoreError(u"データベース %1 が見つかりません。"_s.arg(m_databasePath));
    }
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
        ? QSqlDatabase::database(m_connectionName, false)
        : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    db.setDatabaseName(fileUri(m_databasePath));
    db.setConnectOptions(u"QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=15000"_s);
    if (!db.open()) {
        throw StoreError(u"データベース %1 を開けません: %2"_s.arg(m_databasePath, db.lastError().text()));
    }
}

void RuleStore::disconnectDatabase()
{
    if (!QSqlDatabase::contains(m_connectionName)) {
        return;
    }
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void RuleStore::Open()
{
    try {
        readTable();
    } catch (const StoreError &error) {
        emit Error(error.description());
    }
}

void RuleStore::readTable()
{
    emit rowsAboutToBeReset();
    m_rows.clear();
    m_position = 0;
    m_onDeletedRow = false;
    m_open = false;
    try {
        connectDatabase();
        QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
        query.setForwardOnly(true);
        if (!query.exec(identifiedQuery(RecordSource))) {
            throw StoreError(u"規則を読み込めません: %1"_s.arg(query.lastError().text()));
        }
        while (query.next()) {
            Row row;
            row.rowId = query.value(0).toLongLong();
            row.values[FileName] = row.original[FileName] = query.value(1);
            row.values[BatFile] = row.original[BatFile] = query.value(2);
            m_rows.push_back(row);
        }
        m_open = true;
    } catch (const StoreError &) {
        m_rows.clear();
        disconnectDatabase();
        emit rowsReset();
        throw;
    }
    emit rowsReset();
    emit MoveComplete();
}

void RuleStore::Refresh()
{
    QStringList failures;
    for (Row &row : m_rows) {
        if (row.pending) {
            try {
                writeRow(row);
            } catch (const StoreError &error) {
                failures.append(error.description());
            }
        }
    }
    try {
        readTable();
    } catch (const StoreError &error) {
        failures.append(error.description());
    }
    if (!failures.isEmpty()) {
        throw StoreError(failures.join(u'\n'));
    }
}

void RuleStore::Close()
{
    if (m_open) {
        leaveCurrentRow();
    }
    m_open = false;
    disconnectDatabase();
}

bool RuleStore::hasCurrentRow() const
{
    return !m_onDeletedRow && m_position >= 0 && m_position < int(m_rows.size());
}

const RuleStore::Row &RuleStore::currentRow() const
{
    if (!hasCurrentRow()) {
        throw StoreError(noCurrentRow());
    }
    return m_rows[size_t(m_position)];
}

bool RuleStore::Eof() const
{
    return !m_onDeletedRow && m_position >= int(m_rows.size());
}

bool RuleStore::BOF() const
{
    return m_rows.empty() || (!m_onDeletedRow && m_position < 0);
}

int RuleStore::AbsolutePosition() const
{
    if (m_rows.empty() || m_onDeletedRow) {
        return adPosUnknown;
    }
    if (m_position < 0) {
        return adPosBOF;
    }
    if (m_position >= int(m_rows.size())) {
        return adPosEOF;
    }
    return m_position + 1;
}

void RuleStore::leaveCurrentRow()
{
    if (!hasCurrentRow()) {
        return;
    }
    Row &row = m_rows[size_t(m_position)];
    if (!row.pending || row.leaveFailed) {
        return;
    }
    try {
        writeRow(row);
    } catch (const StoreError &error) {
        // The edit stays in the copy, so nothing typed is lost. The table will refuse the
        // same write again, so it is reported once, not at every later visit of the row.
        row.leaveFailed = true;
        emit Error(error.description());
    }
}

void RuleStore::moveToIndex(int index)
{
    leaveCurrentRow();
    m_position = index;
    m_onDeletedRow = false;
    emit MoveComplete();
}

void RuleStore::MoveFirst()
{
    if (m_rows.empty()) {
        throw StoreError(u"規則が 1 件もないため、最初の行へ移動できません。"_s);
    }
    moveToIndex(0);
}

void RuleStore::MoveLast()
{
    if (m_rows.empty()) {
        throw StoreError(u"規則が 1 件もないため、最後の行へ移動できません。"_s);
    }
    moveToIndex(int(m_rows.size()) - 1);
}

void RuleStore::MoveNext()
{
    if (Eof()) {
        throw StoreError(u"最後の行より後ろへは移動できません (EOF)。"_s);
    }
    // From a deleted row, the next row has already moved up into its place.
    moveToIndex(m_onDeletedRow ? m_position : m_position + 1);
}

void RuleStore::MovePrevious()
{
    if (!m_onDeletedRow && m_position < 0) {
        throw StoreError(u"最初の行より前へは移動できません (BOF)。"_s);
    }
    moveToIndex(m_position - 1);
}

void RuleStore::moveTo(int row)
{
    if (row < 0 || row > int(m_rows.size())) {
        throw StoreError(u"%1 行目はありません。"_s.arg(row + 1));
    }
    if (row == m_position && !m_onDeletedRow) {
        return;
    }
    moveToIndex(row);
}

QVariant RuleStore::value(Column column) const
{
    return currentRow().values[column];
}

QVariant RuleStore::Fields(const QString &name) const
{
    if (name.compare(QLatin1String("FileName"), Qt::CaseInsensitive) == 0) {
        return value(FileName);
    }
    if (name.compare(QLatin1String("BatFile"), Qt::CaseInsensitive) == 0) {
        return value(BatFile);
    }
    throw StoreError(u"フィールド %1 はありません。"_s.arg(name));
}

QVariant RuleStore::valueAt(int row, Column column) const
{
    if (row < 0 || row >= int(m_rows.size())) {
        return {};
    }
    return m_rows[size_t(row)].values[column];
}

void RuleStore::setValue(Column column, const QVariant &value)
{
    (void)currentRow(); // throws without a current row
    emit WillChangeRecord();
    Row &row = m_rows[size_t(m_position)];
    row.values[column] = value;
    row.pending = true;
    row.leaveFailed = false;
    emit rowChanged(m_position);
}

void RuleStore::AddNew()
{
    if (!m_open) {
        throw StoreError(u"データベースが開かれていません。"_s);
    }
    leaveCurrentRow();
    emit WillChangeRecord();
    Row row;
    row.isNew = true;
    row.pending = true;
    emit rowAboutToBeInserted(int(m_rows.size()));
    m_rows.push_back(row);
    m_position = int(m_rows.size()) - 1;
    m_onDeletedRow = false;
    emit rowInserted(m_position);
    emit MoveComplete();
}

void RuleStore::Delete()
{
    const Row &row = currentRow();
    emit WillChangeRecord();
    if (!row.isNew) {
        QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
        query.prepare(u"delete from FileList where rowid = ? and FileName is ? and BatFile is ?"_s);
        query.addBindValue(row.rowId);
        query.addBindValue(row.original[FileName]);
        query.addBindValue(row.original[BatFile]);
        if (!query.exec()) {
            throw StoreError(u"規則を削除できません: %1"_s.arg(query.lastError().text()));
        }
        if (query.numRowsAffected() != 1) {
            throw StoreError(u"この規則はほかのウィンドウで変更または削除されているため、削除できません。"_s);
        }
    }
    // Views hear of the removal while it happens and may move their own current row; the row
    // removed is the one deleted, and the cursor stays where it stood, on the removed row.
    const int index = m_position;
    emit rowAboutToBeRemoved(index);
    m_rows.erase(m_rows.begin() + index);
    m_position = index;
    m_onDeletedRow = true;
    emit rowRemoved(index);
    emit rowsWritten();
}

void RuleStore::UpdateBatch()
{
    QStringList failures;
    for (Row &row : m_rows) {
        if (!row.pending) {
            continue;
        }
        try {
            writeRow(row);
        } catch (const StoreError &error) {
            failures.append(error.description());
        }
    }
    if (!failures.isEmpty()) {
        throw StoreError(failures.join(u'\n'));
    }
}

void RuleStore::writeRow(Row &row)
{
    if (!m_open) {
        throw StoreError(u"データベースが開かれていません。"_s);
    }
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    if (row.isNew) {
        query.prepare(u"insert into FileList (FileName, BatFile) values (?, ?)"_s);
        query.addBindValue(row.values[FileName]);
        query.addBindValue(row.values[BatFile]);
    } else {
        query.prepare(u"update FileList set FileName = ?, BatFile = ? "
                      u"where rowid = ? and FileName is ? and BatFile is ?"_s);
        query.addBindValue(row.values[FileName]);
        query.addBindValue(row.values[BatFile]);
        query.addBindValue(row.rowId);
        query.addBindValue(row.original[FileName]);
        query.addBindValue(row.original[BatFile]);
    }
    if (!query.exec()) {
        throw StoreError(u"規則を書き込めません: %1"_s.arg(query.lastError().text()));
    }
    if (!row.isNew && query.numRowsAffected() != 1) {
        throw StoreError(u"規則「%1」はほかのウィンドウで変更または削除されているため、書き込めません。"_s.arg(
            row.original[FileName].toString()));
    }
    if (row.isNew) {
        row.rowId = query.lastInsertId().toLongLong();
        row.isNew = false;
    }
    row.original[FileName] = row.values[FileName];
    row.original[BatFile] = row.values[BatFile];
    row.pending = false;
    row.leaveFailed = false;
    emit rowsWritten();
}
