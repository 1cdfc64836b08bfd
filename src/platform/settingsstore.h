#pragma once

#include "platform/result.h"

#include <QString>

// The per-user settings store: text values by key in the program's own section.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The entry's text, or defaultText when there is no entry.
    [[nodiscard]] virtual QString read(const QString &key, const QString &defaultText) const = 0;
    // Stores the text.
    virtual Result<> write(const QString &key, const QString &text) = 0;
};

// QSettings of application "Fenlow", group "Settings": ~/.config/Fenlow/Fenlow.conf on Linux,
// the registry on Windows.
class UserSettingsStore final : public SettingsStore {
public:
    QString read(const QString &key, const QString &defaultText) const override;
    Result<> write(const QString &key, const QString &text) override;
};
