#include "support/mainwindowfixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

MainWindowFixture::MainWindowFixture(const Rules &rules, bool withDatabase,
                                     const QHash<QString, QString> &storedPlacement)
    : ProgramFolderFixture(rules, withDatabase)
    , programFolder(dir.path())
    , platform{programFolder, profile, files, launcher, clock, messages, browser, settings}
    , folders{search, work}
{
    settings.entries = storedPlacement;
    m_previousDirectory = QDir::currentPath();
    QDir::setCurrent(dir.path()); // as start-up leaves it
    window = std::make_unique<frmMain>(platform, windows, folders);
    window->Load();
    window->setSearchFolderDisplay(search);
    window->setWorkFolderDisplay(work);
}

MainWindowFixture::~MainWindowFixture()
{
    // Unloading the main window closes every editor it opened; none may outlive the fixture.
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window.reset();
    QDir::setCurrent(m_previousDirectory);
}

QPushButton *MainWindowFixture::button(const char *name) const
{
    return find<QPushButton>(QLatin1String(name));
}

void MainWindowFixture::click(const char *name) const
{
    QTest::mouseClick(button(name), Qt::LeftButton);
}

void MainWindowFixture::tickAt(int second)
{
    clock.set(QTime(10, 15, second));
    window->onTimer1Tick();
}

void MainWindowFixture::passAtTheNextMinute()
{
    tickAt(59);
    tickAt(0);
}
