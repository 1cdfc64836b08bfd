#pragma once

#include "platform/result.h"

#include <QString>

// The platform's web browser, for the manual page.
class Browser {
public:
    virtual ~Browser() = default;
    // Opens the local file at path.
    virtual Result<> open(const QString &path) = 0;
};
