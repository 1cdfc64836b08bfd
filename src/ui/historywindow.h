#pragma once

#include "engine/history.h"

#include <QWidget>

class Clock;
class QLineEdit;
class QStandardItemModel;
class QTableView;

// The history of every file, newest first, read-only: time, file, rule and outcome, with a box
// that filters by file name. The main window asks it to read again after each pass.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(QString historyPath, const Clock &clock);

    // Reads the history again, as the filter box says.
    void refresh();

private:
    const Clock &m_clock;
    // Opened (and trimmed) once, at the first read that finds it; each refresh only reads.
    History m_history;
    bool m_opened = false;
    QLineEdit *m_filter = nullptr;
    QTableView *m_view = nullptr;
    QStandardItemModel *m_model = nullptr;
};
