#pragma once

#include "platform/result.h"

#include <QString>

// The folder that holds the program, which start-up makes the current directory.
class ProgramFolder {
public:
    virtual ~ProgramFolder() = default;
    [[nodiscard]] virtual QString path() const = 0;
    // Makes path() the current directory.
    virtual Result<> makeCurrent() = 0;
};

// The executable's folder, or the folder given on the command line (--folder).
class ApplicationProgramFolder final : public ProgramFolder {
public:
    explicit ApplicationProgramFolder(QString folder = {});
    QString path() const override;
    Result<> makeCurrent() override;

private:
    QString m_folder; // absolute
};
