#pragma once

#include "platform/result.h"

#include <QString>

#include <optional>

class SettingsStore;

// The main window's outer rectangle in twips, frame, title bar and menu bar included, as kept
// in the per-user settings store between runs.
struct WindowPlacement {
    float left = 1000;
    float top = 1000;
    float width = 6500;
    float height = 6500;
};

// Reads the four entries; an absent entry, or one that is not a number, gives its default.
[[nodiscard]] WindowPlacement readWindowPlacement(const SettingsStore &store);
// Writes the four entries in order; the first failure ends it.
Result<> writeWindowPlacement(SettingsStore &store, const WindowPlacement &placement);

// A number as the user's locale writes it, with as few digits as it needs and no thousands
// separators ("6500", "1000.5"), and back.
[[nodiscard]] QString placementText(float value);
[[nodiscard]] std::optional<float> placementNumber(const QString &text);
