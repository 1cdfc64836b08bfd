#include "ui/windowplacement.h"

#include "platform/settingsstore.h"

#include <QLocale>

namespace {

struct Entry {
    const char *key;
    float WindowPlacement::*field;
};

constexpr Entry kEntries[] = {
    {"MainLeft", &WindowPlacement::left},
    {"MainTop", &WindowPlacement::top},
    {"MainWidth", &WindowPlacement::width},
    {"MainHeight", &WindowPlacement::height},
};

QLocale userLocale()
{
    QLocale locale; // the user's locale, unless a test has set another
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

QString placementText(float value)
{
    const QLocale locale = userLocale();
    for (int decimals = 0; decimals < 9; ++decimals) {
        const QString text = locale.toString(double(value), 'f', decimals);
        bool ok = false;
        if (locale.toFloat(text, &ok) == value && ok) {
            return text;
        }
    }
    return locale.toString(double(value), 'f', 9);
}

std::optional<float> placementNumber(const QString &text)
{
    bool ok = false;
    const float value = userLocale().toFloat(text.trimmed(), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

WindowPlacement readWindowPlacement(const SettingsStore &store)
{
    WindowPlacement placement;
    for (const Entry &entry : kEntries) {
        float &field = placement.*entry.field;
        field = placementNumber(store.read(QLatin1String(entry.key), placementText(field))).value_or(field);
    }
    return placement;
}

Result<> writeWindowPlacement(SettingsStore &store, const WindowPlacement &placement)
{
    for (const Entry &entry : kEntries) {
        if (Result<> written = store.write(QLatin1String(entry.key), placementText(placement.*entry.field)); !written) {
            return written;
        }
    }
    return Result<>::success();
}
