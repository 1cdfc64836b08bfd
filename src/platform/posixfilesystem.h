#pragma once

#include "platform/filesystem.h"

class PosixFileSystem final : public FileSystem {
public:
    QStringList listPlainFiles(const QString &folder, const QString &pattern) override;
    Result<MoveOutcome> moveFile(const QString &source, const QString &destination) override;
    bool isSameFolder(const QString &a, const QString &b) override;

    // The move between file systems: a hidden copy beside the destination, flushed and
    // renamed over it, then the source deleted. Public so that it can be tested on one file system.
    static Result<MoveOutcome> moveByCopy(const QString &source, const QString &destination);
};
