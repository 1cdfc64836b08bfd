#pragma once

#include "platform/result.h"

#include <QString>

class ProfileFile;

// The two folders of the run, held exactly as read or typed, and how long a file must have
// been left alone before a pass moves it.
struct FolderSettings {
    QString SearchFolder;
    QString WorkFolder;
    int settleSeconds = 2;
};

// "Fenlow.ini" in the program folder, formed afresh for every read and write.
[[nodiscard]] QString configurationFilePath(const QString &programFolder);

// Reads both folders from the configuration file, defaults where file, section or key is
// missing, then the optional settle time (key "settle", whole seconds; 2 when missing or not
// a whole number of seconds). On a failure to read the file, a field already read keeps its
// new value, one not yet read keeps its old one.
Result<> GetInitInfo(FolderSettings &settings, ProfileFile &profile, const QString &programFolder);

// Writes both folders to the configuration file. Nothing is written when either folder
// holds a character that code page 932 cannot represent.
Result<> SaveInitInfo(const FolderSettings &settings, ProfileFile &profile, const QString &programFolder);

// The operator's messages for a configuration file that could not be read or written.
[[nodiscard]] QString configurationReadFailedMessage(const QString &path, const QString &reason);
[[nodiscard]] QString configurationWriteFailedMessage(const QString &path, const QString &reason);
