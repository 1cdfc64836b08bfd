#pragma once

#include "platform/result.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <stdexcept>
#include <vector>

// A failed store operation, with a description the operator can act on.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString &description);
    [[nodiscard]] QString description() const;
};

// One connection to the rule database and one cursor over a copy of its rules, in ascending
// FileName order. Edits stay in the copy until the cursor leaves the row (or UpdateBatch);
// a delete is written at once. Writes are optimistic: a row is written only where the table
// still holds what this store read, so a store never overwrites another store's change.
//
// Operations that the caller asked for throw StoreError. Failures that arise on their own,
// opening the database or writing a row the cursor leaves, are delivered to Error.
class RuleStore : public QObject {
    Q_OBJECT
public:
    enum Column { FileName = 0, BatFile = 1 };
    // AbsolutePosition without a current row.
    static constexpr int adPosUnknown = -1;
    static constexpr int adPosBOF = -2;
    static constexpr int adPosEOF = -3;

    static const QString databaseName;
    static const QString RecordSource;
    // A new rule database at path with an empty FileList (FileName, BatFile); refused when a
    // file is already there.
    [[nodiscard]] static Result<> createEmpty(const QString &path);
    // recordSource with each row's identity, the rowid, as its first column.
    [[nodiscard]] static QString identifiedQuery(const QString &recordSource);

    // databasePath is relative to the current directory unless absolute.
    explicit RuleStore(QString databasePath = databaseName, QObject *parent = nullptr);
    ~RuleStore() override;

    // Connects and reads the table; the first row is current. A failure leaves an empty store
    // and goes to Error.
    void Open();
    // Writes what is pending, then opens again: a fresh copy, the first row current. Called by
    // a handler, so a failure is thrown (after the store has been read again, or left empty).
    void Refresh();
    // Writes what is pending and lets the connection go. The destructor closes too.
    void Close();
    [[nodiscard]] bool isOpen() const { return m_open; }

    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    // Makes row (counted from 0 in cursor order) current; RecordCount() stands past the last row.
    void moveTo(int row);
    [[nodiscard]] bool Eof() const;
    [[nodiscard]] bool BOF() const;
    // Counted from 1; adPosUnknown, adPosBOF or adPosEOF when no row is current.
    [[nodiscard]] int AbsolutePosition() const;
    [[nodiscard]] int RecordCount() const { return int(m_rows.size()); }

    // The current row's value: text, or a null QVariant for Null.
    [[nodiscard]] QVariant value(Column column) const;
    // Fields(name).Value: "FileName" or "BatFile".
    [[nodiscard]] QVariant Fields(const QString &name) const;
    // Edits the current row; visible at once, written when the cursor leaves the row.
    void setValue(Column column, const QVariant &value);
    // A new row after the last, current, written when the cursor leaves it.
    void AddNew();
    // Removes the current row from the table at once; it stays current, as a removed row,
    // until the cursor moves.
    void Delete();
    // Writes every pending change; throws with every failure's description.
    void UpdateBatch();

    // Any row's value, for views of the whole cursor.
    [[nodiscard]] QVariant valueAt(int row, Column column) const;

signals:
    void MoveComplete();
    void WillChangeRecord();
    void Error(const QString &description);
    // For views of the whole cursor, before and after the rows change.
    void rowsAboutToBeReset();
    void rowsReset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    // A change of this store reached the table (a row written, or deleted).
    void rowsWritten();

private:
    struct Row {
        qint64 rowId = -1;
        QVariant values[2];
        QVariant original[2]; // as read, to find the row again when writing
        bool isNew = false;
        bool pending = false;
        bool leaveFailed = false; // written on leaving and refused; retried after the next edit
    };

    // Reads the whole table into the copy; a failure leaves the copy empty and is thrown.
    void readTable();
    void connectDatabase();
    void disconnectDatabase();
    [[nodiscard]] bool hasCurrentRow() const;
    [[nodiscard]] const Row &currentRow() const;
    void writeRow(Row &row);
    // Writes the current row if it has pending changes; a failure goes to Error.
    void leaveCurrentRow();
    void moveToIndex(int index);

    QString m_databasePath;
    QString m_connectionName;
    std::vector<Row> m_rows;
    int m_position = 0; // -1 before the first row, size() past the last
    bool m_onDeletedRow = false; // the current row was deleted; m_position is where it stood
    bool m_open = false;
};
