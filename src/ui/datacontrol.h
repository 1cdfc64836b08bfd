#pragma once

#include "engine/rulestore.h"

#include <QWidget>

class MessageBoxes;
class QLabel;
class QToolButton;

// The data control: a bar with a caption and first, previous, next and last buttons, owning
// its window's RuleStore. Its navigation stops at the first and the last row. Failures that
// arise outside any handler go to Error; with nothing attached to Error, the control reports
// them itself in a message box.
class DataControl : public QWidget {
    Q_OBJECT
public:
    DataControl(MessageBoxes &messages, QWidget *parent = nullptr, const QString &databasePath = RuleStore::DatabaseName);

    // The cursor.
    [[nodiscard]] RuleStore &Recordset() { return m_store; }
    // Opens the store when its window loads.
    void Open();
    // Opens the store again: a fresh copy of the table, the first row current.
    void Refresh();
    [[nodiscard]] QString Caption() const;
    void setCaption(const QString &caption);

    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();

signals:
    // Before one of the navigation buttons moves the cursor.
    void WillMove();
    void MoveComplete();
    void WillChangeRecord();
    void Error(const QString &description);

private:
    void reportError(const QString &description);
    template <typename Move>
    void navigate(Move move);

    MessageBoxes &m_messages;
    RuleStore m_store;
    QLabel *m_caption = nullptr;
};
