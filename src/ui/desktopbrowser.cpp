#include "ui/desktopbrowser.h"

#include <QDesktopServices>
#include <QUrl>

Result<> DesktopBrowser::open(const QString &path)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        return Result<>::failure(QStringLiteral("ブラウザーを起動できません。"));
    }
    return Result<>::success();
}
