#pragma once

#include "platform/result.h"

#include <QList>
#include <QString>

#include <utility>

// Variables added to a started program's environment (name, value), over those it inherits.
using LaunchEnvironment = QList<std::pair<QString, QString>>;

// Starts the rules' programs.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Whether commandLine looks startable; refused when it is empty or its program is not
    // found or not executable.
    virtual Result<> canStart(const QString &commandLine) = 0;
    // Starts commandLine without waiting for it, with environment added to what the program
    // inherits; the started process's id.
    virtual Result<qint64> launch(const QString &commandLine, const LaunchEnvironment &environment) = 0;
};
