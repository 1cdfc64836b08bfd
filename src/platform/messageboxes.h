#pragma once

#include <QString>

// Message boxes titled "Fenlow". Windows show them; tests read what would have been shown.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A modal box with an OK button.
    virtual void show(const QString &text) = 0;
};
