#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>

using namespace Qt::StringLiterals;

ApplicationProgramFolder::ApplicationProgramFolder(QString folder)
    : m_folder(folder.isEmpty() ? QCoreApplication::applicationDirPath() : QDir(folder).absolutePath())
{
}

QString ApplicationProgramFolder::path() const
{
    return QDir::toNativeSeparators(m_folder);
}

Result<> ApplicationProgramFolder::makeCurrent()
{
    if (!QDir::setCurrent(m_folder)) {
        return Result<>::failure(QDir(m_folder).exists() ? systemErrorText(errno) : u"フォルダがありません"_s);
    }
    return Result<>::success();
}
