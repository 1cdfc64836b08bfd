#pragma once

#include "platform/result.h"

#include <QString>
#include <QStringList>

// What a move that did not fail did.
enum class MoveOutcome {
    Moved, // complete in the destination, gone from the source
    SourceGone, // nothing to move: the source was no longer there
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
    // source where it was.
    virtual Result<MoveOutcome> moveFile(const QString &source, const QString &destination) = 0;
    // Whether both texts name one existing folder.
    [[nodiscard]] virtual bool isSameFolder(const QString &a, const QString &b) = 0;
};

// folder, the platform separator and name, joined as they stand: nothing trimmed or normalised.
[[nodiscard]] QString joinPath(const QString &folder, const QString &name);
