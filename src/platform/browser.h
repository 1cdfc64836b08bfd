#pragma once

#include <QString>

// The platform's web browser, for the manual page.
class Browser {
public:
    virtual ~Browser() = default;
    // Opens the local file at path; the reason it could not, or empty.
    [[nodiscard]] virtual QString open(const QString &path) = 0;
};
