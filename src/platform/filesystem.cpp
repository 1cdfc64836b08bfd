#include "platform/filesystem.h"

#include <QDir>

QString joinPath(const QString &folder, const QString &name)
{
    return folder + QDir::separator() + name;
}
