#pragma once

#include "startup/foldersettings.h"

#include <QString>

#include <functional>
#include <memory>

class MessageBoxes;
class ProfileFile;
class ProgramFolder;

// What start-up needs of the main window.
class MainWindowOps {
public:
    virtual ~MainWindowOps() = default;
    // Builds the window without showing it: opens its rules and restores its placement.
    virtual void Load() = 0;
    // Runs the window's unload work and destroys it.
    virtual void Unload() = 0;
    // Modeless, without an owner.
    virtual void Show() = 0;
    virtual void setSearchFolderDisplay(const QString &folder) = 0; // Label3
    virtual void setWorkFolderDisplay(const QString &folder) = 0; // Label4
    // Opens the folder settings dialog over the shown window once the event loop runs: at the
    // first start in a new program folder, so the operator chooses the two folders.
    virtual void openFolderSettingsSoon() = 0;
};

// The start-up module: the program's entry work and the program-wide state it keeps.
class Module1 {
public:
    struct Services {
        ProgramFolder &programFolder;
        ProfileFile &profile;
        MessageBoxes &messages;
        std::function<std::unique_ptr<MainWindowOps>()> createMainWindow;
        // Writes an empty rule table to the path: a new program folder's AttFile.mdb.
        std::function<Result<>(const QString &path)> createEmptyRules;
        // Converts the legacy Jet rule database at path in place; the name the original got.
        std::function<Result<QString>(const QString &path)> convertJetRules;
    };

    explicit Module1(Services services);
    ~Module1();

    // Runs once. True when the main window is shown and the program runs on; false when
    // start-up ended the program (after telling the operator why).
    [[nodiscard]] bool Main();

    [[nodiscard]] FolderSettings &folderSettings() { return m_folderSettings; }
    // The one main window; null before Main and after a failed start.
    [[nodiscard]] MainWindowOps *mainWindow() const { return m_mainWindow.get(); }

private:
    void offerJetConversion();

    Services m_services;
    FolderSettings m_folderSettings;
    std::unique_ptr<MainWindowOps> m_mainWindow;
};
