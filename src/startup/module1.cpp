#include "startup/module1.h"

#include "platform/messageboxes.h"
#include "platform/profilefile.h"
#include "platform/programfolder.h"

using namespace Qt::StringLiterals;

Module1::Module1(Services services)
    : m_services(std::move(services))
{
}

Module1::~Module1() = default;

bool Module1::Main()
{
    // The rule database is opened by a relative name when the window loads.
    if (const Result<> current = m_services.programFolder.makeCurrent(); !current) {
        m_services.messages.show(
            u"プログラムのフォルダ %1 に移動できません。\n%2"_s.arg(m_services.programFolder.path(), current.reason()));
        return false;
    }

    m_mainWindow = m_services.createMainWindow();
    m_mainWindow->Load();

    if (const Result<> read = GetInitInfo(m_folderSettings, m_services.profile, m_services.programFolder.path());
        !read) {
        m_services.messages.show(
            configurationReadFailedMessage(configurationFilePath(m_services.programFolder.path()), read.reason()));
        m_mainWindow->Unload();
        m_mainWindow.reset();
        return false;
    }

    m_mainWindow->setSearchFolderDisplay(m_folderSettings.SearchFolder);
    m_mainWindow->setWorkFolderDisplay(m_folderSettings.WorkFolder);
    m_mainWindow->Show();
    return true;
}
