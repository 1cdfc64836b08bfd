#pragma once

#include "platform/result.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// What a move that did not fail did.
enum class MoveOutcome {
    Moved, // complete in the destination, gone from the source
    SourceGone, // nothing to move: the source was no longer there
    Waiting, // left for a later pass: still being written, or written just now
};

// When a file counts as still being written: its modification time lies within seconds of
// listedAt, the wall clock when the folder was listed, on either side. 0 seconds turns it off.
struct SettleRule {
    QDateTime listedAt;
    int seconds = 0;
};

// The files of the search and work folders.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Names of the plain files in folder that match the wildcard pattern: regular files only,
    // never links, folders, devices or hidden files. A folder that cannot be read lists nothing.
    [[nodiscard]] virtual QStringList listPlainFiles(const QString &folder, const QString &pattern) = 0;
    // Moves a file, replacing a file of the same name at the destination. The destination is
    // never left half-written and never written through a link. A failed move leaves the
    // source where it was. A file that another process holds open for writing, or that the
    // settle rule finds just written, waits. Of several processes moving one file, one moves it.
    virtual Result<MoveOutcome> moveFile(const QString &source, const QString &destination, const SettleRule &settle)
        = 0;
    // Puts back what a process of this host that no longer runs left half done in the two
    // folders: a claimed file gets its name back, a half-written copy is removed. The
    // problems met (a name taken meanwhile), each a sentence for the operator.
    [[nodiscard]] virtual QStringList recoverAbandoned(const QString &searchFolder, const QString &workFolder) = 0;
    // Whether folder exists and is a folder, and, for listing, can be read.
    virtual Result<> checkFolder(const QString &folder, bool forListing) = 0;
    // Whether both texts name one existing folder.
    [[nodiscard]] virtual bool isSameFolder(const QString &a, const QString &b) = 0;
};

// folder, the platform separator and name, joined as they stand: nothing trimmed or normalised.
[[nodiscard]] QString joinPath(const QString &folder, const QString &name);
