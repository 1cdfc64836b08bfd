#pragma once

#include <QString>

// Starts the rules' programs.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Why commandLine could not start (empty, program not found or not executable);
    // empty when it looks startable.
    [[nodiscard]] virtual QString problemWith(const QString &commandLine) = 0;
    // Starts commandLine without waiting for it; the reason it did not start, or empty.
    [[nodiscard]] virtual QString launch(const QString &commandLine) = 0;
};
