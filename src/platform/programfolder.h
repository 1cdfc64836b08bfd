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
    // Creates the folder when it is not there: true when it was created now. A folder that
    // cannot be created or written is refused with the reason.
    virtual Result<bool> create() = 0;
    // The manual page as installed with the program, for a program folder that has none.
    [[nodiscard]] virtual QString installedManual() const = 0;
};

// Where the program keeps Fenlow.ini, AttFile.mdb and its history: the folder given on the
// command line; else the executable's folder when it holds Fenlow.ini or AttFile.mdb (a
// portable program folder); else the per-user folder.
[[nodiscard]] QString chooseProgramFolder(const QString &given, const QString &executableFolder,
                                          const QString &perUserFolder);
// Creates folder when it is not there (true), or checks that it is a folder that can be written.
[[nodiscard]] Result<bool> createProgramFolder(const QString &folder);
// The per-user program folder: $XDG_DATA_HOME/Fenlow (~/.local/share/Fenlow).
[[nodiscard]] QString perUserProgramFolder();

// The program folder chooseProgramFolder picks for this executable and the folder given.
class ApplicationProgramFolder final : public ProgramFolder {
public:
    explicit ApplicationProgramFolder(const QString &given = {});
    QString path() const override;
    Result<> makeCurrent() override;
    Result<bool> create() override;
    QString installedManual() const override;

private:
    QString m_folder; // absolute
};
