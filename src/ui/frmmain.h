#pragma once

#include "engine/history.h"
#include "engine/minuteclock.h"
#include "engine/problemmemory.h"
#include "startup/module1.h"

#include <QMainWindow>

#include <optional>

struct FolderSettings;
struct Platform;
class DataControl;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class StatusPanels;
class WindowList;

// The main window: the two folders, the current rule, the processing switch with its
// blinking marker, and the doors to the other windows. Its unload closes every other window.
class frmMain : public QMainWindow, public MainWindowOps {
    Q_OBJECT
public:
    static const QString StartCaption; // "処理開始": processing is off
    static const QString StopCaption; // "処理停止": processing is on

    // settings is the program's record of the two folders, which the folder settings dialog edits.
    frmMain(Platform &platform, WindowList &windows, FolderSettings &settings, QWidget *parent = nullptr);
    ~frmMain() override;

    // What start-up asks of the window.
    void Load() override;
    void Unload() override;
    void Show() override;
    void setSearchFolderDisplay(const QString &folder) override;
    void setWorkFolderDisplay(const QString &folder) override;
    void openFolderSettingsSoon() override;

    void ShowProcessingLabel();
    void HideProcessingLabel();
    // One dispatch pass over this window's rules and the folders it shows.
    void ProcessFileList();
    [[nodiscard]] qint16 LastTickSecond() const { return m_minuteClock.lastTickSecond(); }

    // The Timer handler of Timer1: blinks the marker and runs a pass at each new minute.
    void onTimer1Tick();

    [[nodiscard]] DataControl *dataControl() const { return datPrimaryRS; }

signals:
    // A pass has ended and its files are in the history.
    void passFinished();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    // Every window of the program joins the window list here, in the order of loading.
    template <typename Window> Window *loadWindow(Window *window);
    void buildControls();
    void buildMenus();
    void onCommand2Clicked();
    void openRuleTableEditor();
    void openFolderSettings();
    void openManual();
    void openHistory();
    // The first status panel: the last pass at a glance, and what the operator should know.
    void showStatus();
    void showCurrentRule();
    void storeTypedValue(int column, const QString &text);
    void setTimer1Interval(int milliseconds);
    void RestoreWindowPlacement();
    void SaveWindowPlacement();
    void fitOuterSize();

    Platform &m_platform;
    WindowList &m_windows;
    FolderSettings &m_settings;
    // The outer size placement asked for, until the frame's size is known and taken off it.
    std::optional<QSize> m_pendingOuterSize;
    MinuteClock m_minuteClock;
    ProblemMemory m_problems;
    HistoryRecorder m_history;
    QString m_lastPass; // the last pass's summary, with its time
    QString m_lastFiles; // and its files, for the tool tip
    bool m_switchedOff = false; // processing is off after having been on
    bool m_rulesChanged = false; // an editor wrote the rule table since the start
    bool m_unloaded = false;

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *lblLabels[2] = {};
    QLineEdit *txtFields[2] = {};
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    DataControl *datPrimaryRS = nullptr;
    StatusPanels *sbStatusBar = nullptr;
    QTimer *Timer1 = nullptr;
};
