#pragma once

#include <QStatusBar>
#include <QTimer>

class Clock;
class QLabel;

// The main window's status bar: a text panel taking the spare width, then the date and the
// time in the system's short forms, which the bar keeps current by itself.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(const Clock &clock, QWidget *parent = nullptr);

    // Shows the clock's date and time; the bar's own timer calls it each second.
    void showNow();
    // The first panel's text, and its tool tip.
    void showStatus(const QString &text, const QString &toolTip);

private:
    const Clock &m_clock;
    QLabel *m_status = nullptr;
    QLabel *m_date = nullptr;
    QLabel *m_time = nullptr;
    QTimer m_refresh;
};
