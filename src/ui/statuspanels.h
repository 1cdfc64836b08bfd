#pragma once

#include <QStatusBar>
#include <QTimer>

class QLabel;

// The main window's status bar: a text panel taking the spare width, then the date and the
// time in the system's short forms, which the bar keeps current by itself.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget *parent = nullptr);

private:
    void showNow();

    QLabel *m_date = nullptr;
    QLabel *m_time = nullptr;
    QTimer m_refresh;
};
