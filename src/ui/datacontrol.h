#pragma once

#include "engine/rulestore.h"

#include <QWidget>

class MessageBoxes;
class QLabel;
class QToolButton;

// The data control: a bar with a caption and first, previous, next and last buttons, owning
// its window's RuleStore. Its navigation stops at the first and the last row. Failures that
// arise outside any handler go to Error, and then, where the window asks for it, into a
// message box of the control's own.
class DataControl : public QWidget {
    Q_OBJECT
public:
    // Whether the control shows a data error in a box of its own after raising Error: a window
    // whose Error handler shows the error itself does not want a second box.
    enum class OwnErrorBox { Shown, NotShown };

    // While one lives the control shows no box of its own: for work that collects the errors
    // it meets and reports them together, such as a pass, which must never wait on a box.
    class OwnErrorBoxSuppressed {
    public:
        explicit OwnErrorBoxSuppressed(DataControl &control)
            : m_control(control)
        {
            ++m_control.m_suppressed;
        }
        ~OwnErrorBoxSuppressed() { --m_control.m_suppressed; }
        OwnErrorBoxSuppressed(const OwnErrorBoxSuppressed &) = delete;
        OwnErrorBoxSuppressed &operator=(const OwnErrorBoxSuppressed &) = delete;

    private:
        DataControl &m_control;
    };

    DataControl(MessageBoxes &messages, OwnErrorBox ownErrorBox, QWidget *parent = nullptr,
                const QString &databasePath = RuleStore::databaseName);

    // The cursor.
    [[nodiscard]] RuleStore &Recordset() { return m_store; }
    // Opens the store when its window loads.
    void Open();
    // Opens the store again: a fresh copy of the table, the first row current.
    void Refresh();
    [[nodiscard]] QString Caption() const;
    void SetCaption(const QString &caption);

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
    template <typename Move> void navigate(Move move);

    MessageBoxes &m_messages;
    OwnErrorBox m_ownErrorBox;
    int m_suppressed = 0;
    RuleStore m_store;
    QLabel *m_caption = nullptr;
};
