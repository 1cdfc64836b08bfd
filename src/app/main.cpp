#include "app/fenlowapplication.h"
#include "engine/ruleimport.h"
#include "engine/rulestore.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "platform/posixfilesystem.h"
#include "platform/posixprocesslauncher.h"
#include "platform/profilefile.h"
#include "platform/programfolder.h"
#include "platform/settingsstore.h"
#include "startup/module1.h"
#include "ui/desktopbrowser.h"
#include "ui/frmmain.h"
#include "ui/widgetmessageboxes.h"
#include "ui/windowlist.h"

#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    FenlowApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(FENLOW_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Fenlow: moves the files that match its rules and starts their programs."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption folder(
        QStringLiteral("folder"),
        QStringLiteral("The program folder (Fenlow.ini, AttFile.mdb, the history); by default the "
                       "executable's folder when it holds them, else ~/.local/share/Fenlow."),
        QStringLiteral("DIR"));
    parser.addOption(folder);
    parser.process(app);

    ApplicationProgramFolder programFolder(parser.value(folder));
    IniProfileFile profile;
    PosixFileSystem files;
    PosixProcessLauncher launcher(programFolder.path());
    SystemClock clock;
    WidgetMessageBoxes messages;
    app.setMessageBoxes(&messages);
    DesktopBrowser browser;
    UserSettingsStore settings;
    Platform platform{programFolder, profile, files, launcher, clock, messages, browser, settings};
    WindowList windows;

    Module1 module(
        {programFolder, profile, messages,
         [&] { return std::make_unique<frmMain>(platform, windows, module.folderSettings()); }, &RuleStore::createEmpty,
         [](const QString &rules) { return RuleImport::convert(rules, rules, rules + QStringLiteral(".jet")); }});
    if (!module.Main()) {
        return 1;
    }
    return app.exec();
}
