#include "platform/settingsstore.h"

#include <QSettings>

namespace {

const QString kApplication = QStringLiteral("Fenlow");
const QString kSection = QStringLiteral("Settings");

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
        return Result<>::failure(QStringLiteral("%1 に書き込めません。").arg(settings.fileName()));
    case QSettings::FormatError:
        return Result<>::failure(QStringLiteral("%1 の形式が正しくありません。").arg(settings.fileName()));
    }
    return Result<>::success();
}
