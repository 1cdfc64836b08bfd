#include "ui/desktopbrowser.h"

#include <QDesktopServices>
#include <QUrl>

using namespace Qt::StringLiterals;

Result<> DesktopBrowser::open(const QString &path)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        return Result<>::failure(u"ブラウザーを起動できません。"_s);
    }
    return Result<>::success();
}
