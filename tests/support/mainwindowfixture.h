#pragma once

#include "platform/platform.h"
#include "startup/foldersettings.h"
#include "support/fakes.h"
#include "support/programfolderfixture.h"
#include "ui/frmmain.h"
#include "ui/windowlist.h"

#include <QHash>
#include <QPushButton>

#include <memory>

// A program folder with a loaded main window that shows its search and work folder, on real
// files with a recording launcher and a clock the test sets.
class MainWindowFixture : public ProgramFolderFixture {
public:
    explicit MainWindowFixture(const Rules &rules
                               = {{text("*.txt"), text("prog-text")}, {text("*.csv"), text("prog-csv")}},
                               bool withDatabase = true, const QHash<QString, QString> &storedPlacement = {});
    ~MainWindowFixture();

    template <typename T> T *find(const QString &name) const
    {
        T *child = window->findChild<T *>(name);
        if (!child) {
            qFatal("no %s", qPrintable(name));
        }
        return child;
    }
    [[nodiscard]] QPushButton *button(const char *name) const;
    void click(const char *name) const;
    // One tick of Timer1 at this second of the clock's minute.
    void tickAt(int second);
    // Ticks across the next minute boundary: with processing on, one pass runs.
    void passAtTheNextMinute();

    FakeProgramFolder programFolder;
    IniProfileFile profile;
    PosixFileSystem files;
    FakeProcessLauncher launcher;
    FakeClock clock;
    FakeMessageBoxes messages;
    FakeBrowser browser;
    FakeSettingsStore settings;
    Platform platform;
    FolderSettings folders;
    WindowList windows;
    std::unique_ptr<frmMain> window;

private:
    QString m_previousDirectory;
};
