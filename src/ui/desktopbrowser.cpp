#include "ui/desktopbrowser.h"

#include <QDesktopServices>
#include <QUrl>

QString DesktopBrowser::open(const QString &path)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        return QStringLiteral("ブラウザーを起動できません。");
    }
    return {};
}
