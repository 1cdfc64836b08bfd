#include "clock.h"
#include "desktopbrowser.h"
#include "filesystem.h"
#include "frmmain.h"
#include "module1.h"
#include "platform.h"
#include "processlauncher.h"
#include "settingsstore.h"
#include "profilefile.h"
#include "programfolder.h"
#include "widgetmessageboxes.h"
#include "windowlist.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    ApplicationProgramFolder programFolder;
    IniProfileFile profile;
    PosixFileSystem files;
    DetachedProcessLauncher launcher(programFolder.path());
    SystemClock clock;
    WidgetMessageBoxes messages;
    DesktopBrowser browser;
    UserSettingsStore settings;
    Platform platform{programFolder, profile, files, launcher, clock, messages, browser, settings};
    WindowList windows;

    Module1 module({programFolder, profile, messages,
                    [&] { return std::make_unique<frmMain>(platform, windows, module.folderSettings()); }});
    if (!module.Main()) {
        return 1;
    }
    return app.exec();
}
