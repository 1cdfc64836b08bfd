#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <unistd.h>

using namespace Qt::StringLiterals;

QString chooseProgramFolder(const QString &given, const QString &executableFolder, const QString &perUserFolder)
{
    if (!given.isEmpty()) {
        return QDir(given).absolutePath();
    }
    const QDir executable(executableFolder);
    if (executable.exists(u"Fenlow.ini"_s) || executable.exists(u"AttFile.mdb"_s)) {
        return executableFolder;
    }
    return perUserFolder;
}

QString perUserProgramFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Fenlow"_s;
}

ApplicationProgramFolder::ApplicationProgramFolder(const QString &given)
    : m_folder(chooseProgramFolder(given, QCoreApplication::applicationDirPath(), perUserProgramFolder()))
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

Result<bool> ApplicationProgramFolder::create()
{
    return createProgramFolder(m_folder);
}

QString ApplicationProgramFolder::installedManual() const
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../share/doc/fenlow/Fenguide.htm"_s);
}

Result<bool> createProgramFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.exists()) {
        if (!info.isDir()) {
            return Result<bool>::failure(u"フォルダではありません"_s);
        }
        if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) {
            return Result<bool>::failure(systemErrorText(errno));
        }
        return false;
    }
    if (!QDir().mkpath(folder)) {
        return Result<bool>::failure(u"フォルダを作れません"_s);
    }
    return true;
}
