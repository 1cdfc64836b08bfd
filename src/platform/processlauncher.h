#pragma once

#include "platform/result.h"

#include <QString>

// Starts the rules' programs.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Whether commandLine looks startable; refused when it is empty or its program is not
    // found or not executable.
    virtual Result<> canStart(const QString &commandLine) = 0;
    // Starts commandLine without waiting for it.
    virtual Result<> launch(const QString &commandLine) = 0;
};
