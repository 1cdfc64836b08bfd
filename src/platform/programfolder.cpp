#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <cstring>

QString ApplicationProgramFolder::path() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString ApplicationProgramFolder::makeCurrent()
{
    if (!QDir::setCurrent(QCoreApplication::applicationDirPath())) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    return {};
}
