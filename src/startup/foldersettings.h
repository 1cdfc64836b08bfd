#pragma once

#include <QString>

class ProfileFile;

// The two folders of the run, held exactly as read or typed.
struct FolderSettings {
    QString SearchFolder;
    QString WorkFolder;
};

struct SaveResult {
    QString error; // why the configuration file does not hold the folders; empty when it does
    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

// "Fenlow.ini" in the program folder, formed afresh for every read and write.
[[nodiscard]] QString configurationFilePath(const QString &programFolder);

// Reads both folders from the configuration file, defaults where file, section or key is
// missing. False when the file could not be read; error then holds the reason. A field
// already read keeps its new value, one not yet read keeps its old one.
[[nodiscard]] bool GetInitInfo(FolderSettings &settings, ProfileFile &profile, const QString &programFolder,
                               QString *error = nullptr);

// Writes both folders to the configuration file. Nothing is written when either folder
// holds a character that code page 932 cannot represent.
[[nodiscard]] SaveResult SaveInitInfo(const FolderSettings &settings, ProfileFile &profile,
                                      const QString &programFolder);

// The operator's messages for a configuration file that could not be read or written.
[[nodiscard]] QString configurationReadFailedMessage(const QString &path, const QString &reason);
[[nodiscard]] QString configurationWriteFailedMessage(const QString &path, const QString &reason);
