#pragma once

#include "support/fakes.h"
#include "startup/foldersettings.h"
#include "ui/frmmain.h"
#include "platform/platform.h"
#include "support/testfolders.h"
#include "ui/windowlist.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

inline QVariant text(const char *value)
{
    return QString::fromUtf8(value);
}

// A program folder with a rule database, a search and a work folder, and a loaded main window
// that shows them, on real files with a recording launcher and a clock the test sets.
class MainWindowFixture {
public:
    explicit MainWindowFixture(const QList<QPair<QVariant, QVariant>> &rules = {{text("*.txt"), text("prog-text")},
                                                                                {text("*.csv"), text("prog-csv")}},
                               bool withDatabase = true, const QHash<QString, QString> &storedPlacement = {})
        : programFolder(dir.path())
        , platform{programFolder, profile, files, launcher, clock, messages, browser, settings}
    {
        search = dir.filePath(QStringLiteral("search"));
        work = dir.filePath(QStringLiteral("work"));
        folders = {search, work};
        QDir().mkpath(search);
        QDir().mkpath(work);
        if (withDatabase) {
            TestFolders::createRuleDatabase(dir.filePath(QStringLiteral("AttFile.mdb")), rules);
        }
        settings.entries = storedPlacement;
        m_previousDirectory = QDir::currentPath();
        QDir::setCurrent(dir.path()); // as start-up leaves it
        window = std::make_unique<frmMain>(platform, windows, folders);
        window->Load();
        window->setSearchFolderDisplay(search);
        window->setWorkFolderDisplay(work);
    }
    ~MainWindowFixture()
    {
        // Unloading the main window closes every editor it opened; none may outlive the fixture.
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window.reset();
        QDir::setCurrent(m_previousDirectory);
    }

    template <typename T>
    T *find(const QString &name) const
    {
        T *child = window->findChild<T *>(name);
        if (!child) {
            qFatal("no %s", qPrintable(name));
        }
        return child;
    }
    QPushButton *button(const char *name) const { return find<QPushButton>(QLatin1String(name)); }
    void click(const char *name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void tickAt(int second)
    {
        clock.set(QTime(10, 15, second));
        window->onTimer1Tick();
    }
    void drop(const QStringList &names)
    {
        for (const QString &name : names) {
            TestFolders::writeFile(search + u'/' + name, name.toUtf8());
        }
    }

    QTemporaryDir dir;
    QString search;
    QString work;
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

