#include "platform/settingsstore.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

const QString kApplication = u"Fenlow"_s;
const QString kSection = u"Settings"_s;

} // namespace

QString UserSettingsStore::read(const QString &key, const QString &defaultText) const
{
    QSettings settings(kApplication, kApplication);
    settings.beginGroup(kSection);
    return settings.value(key, defaultText).toString();
}

Result<> UserSettingsStore::write(const QString &key, const QString &text)
{
    QSettings settings(kApplication, kApplication);
    settings.beginGroup(kSection);
    settings.setValue(key, text);
    settings.sync();
    switch (settings.status()) {
    case QSettings::NoError:
        break;
    case QSettings::AccessError:
        return Result<>::failure(u"%1 に書き込めません。"_s.arg(settings.fileName()));
    case QSettings::FormatError:
        return Result<>::failure(u"%1 の形式が正しくありません。"_s.arg(settings.fileName()));
    }
    return Result<>::success();
}
