#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>

QString ApplicationProgramFolder::path() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

Result<> ApplicationProgramFolder::makeCurrent()
{
    if (!QDir::setCurrent(QCoreApplication::applicationDirPath())) {
        return Result<>::failure(systemErrorText(errno));
    }
    return Result<>::success();
}
