#pragma once

#include <QWidget>

struct FolderSettings;
struct Platform;
class MainWindowOps;
class QLabel;
class QLineEdit;
class QPushButton;

// The folder settings dialog: the two folders in two boxes and "登録", which records them,
// writes them to the configuration file, closes the dialog and shows them in the main window.
// Closing it any other way changes nothing. Built afresh for each opening, gone when closed.
class frmCTL : public QWidget {
    Q_OBJECT
public:
    frmCTL(FolderSettings &settings, Platform &platform, MainWindowOps &mainWindow, QWidget *owner);

    // Fills both boxes from the folders as they are now and waits, modal over the owner,
    // until the dialog is closed. The owner's timers keep running meanwhile.
    void showModal();

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onCommand1Clicked();

    FolderSettings &m_settings;
    Platform &m_platform;
    MainWindowOps &m_mainWindow;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Command1 = nullptr;
};
