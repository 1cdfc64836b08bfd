#include "startup/module1.h"

#include "platform/filesystem.h"
#include "platform/jetrules.h"
#include "platform/messageboxes.h"
#include "platform/profilefile.h"
#include "platform/programfolder.h"

using namespace Qt::StringLiterals;

Module1::Module1(Services services)
    : m_services(std::move(services))
{
}

Module1::~Module1() = default;

void Module1::offerJetConversion()
{
    // An operator's rules in the legacy Jet format: asked at every start until converted.
    const QString rules = joinPath(m_services.programFolder.path(), u"AttFile.mdb"_s);
    if (!m_services.convertJetRules || !JetRules::isJetFile(rules)) {
        return;
    }
    if (!m_services.messages.ask(
            u"規則のデータベース %1 は以前の形式 (Jet) です。この Fenlow で使える形式に変換しますか?\n"
            u"元のファイルは AttFile.mdb.jet として残します。"_s.arg(rules))) {
        return;
    }
    if (const Result<QString> converted = m_services.convertJetRules(rules); !converted) {
        m_services.messages.show(converted.reason());
    }
}

bool Module1::Main()
{
    // A program folder that is not there yet (an installed program's first start in the
    // per-user folder) is made, with an empty rule table; the operator then sets the folders.
    const Result<bool> created = m_services.programFolder.create();
    if (!created) {
        m_services.messages.show(u"プログラムのフォルダ %1 を作れないか、書き込めません。\n%2"_s.arg(
            m_services.programFolder.path(), created.reason()));
        return false;
    }
    if (created.value()) {
        const QString rules = joinPath(m_services.programFolder.path(), u"AttFile.mdb"_s);
        if (const Result<> made = m_services.createEmptyRules(rules); !made) {
            m_services.messages.show(u"規則のデータベース %1 を作れません。\n%2"_s.arg(rules, made.reason()));
            return false;
        }
    }

    // The rule database is opened by a relative name when the window loads.
    if (const Result<> current = m_services.programFolder.makeCurrent(); !current) {
        m_services.messages.show(
            u"プログラムのフォルダ %1 に移動できません。\n%2"_s.arg(m_services.programFolder.path(), current.reason()));
        return false;
    }

    offerJetConversion();
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
    if (created.value()) {
        m_mainWindow->openFolderSettingsSoon();
    }
    return true;
}
