#pragma once

#include "platform/filesystem.h"

#include <QByteArray>

// The search and work folders on a POSIX system. Within one file system a move is one rename,
// which is also the claim: of several processes renaming one file, one succeeds. Across file
// systems the file is first claimed by renaming it inside the search folder to a hidden name
// that carries this host and process, then copied into a hidden temporary in the work folder,
// flushed and renamed into place, and only then is the claim removed.
class PosixFileSystem final : public FileSystem {
public:
    PosixFileSystem();

    QStringList listPlainFiles(const QString &folder, const QString &pattern) override;
    Result<MoveOutcome> moveFile(const QString &source, const QString &destination, const SettleRule &settle) override;
    QStringList recoverAbandoned(const QString &searchFolder, const QString &workFolder) override;
    Result<> checkFolder(const QString &folder, bool forListing) override;
    bool isSameFolder(const QString &a, const QString &b) override;

    // The move between file systems, claim first. Public so that it can be tested on one file system.
    Result<MoveOutcome> moveByCopy(const QString &source, const QString &destination);

    // The hidden names this process gives a claimed file and a copy being written.
    [[nodiscard]] QByteArray claimPrefix() const;
    [[nodiscard]] QByteArray temporaryPrefix() const;

private:
    QByteArray m_host;
};
