#pragma once

#include <QString>
#include <QStringList>

struct MoveResult {
    enum class Outcome {
        Moved,      // complete in the destination, gone from the source
        SourceGone, // nothing to move: the source was no longer there
        Failed,     // the source is still where it was; reason says why
    };
    Outcome outcome = Outcome::Failed;
    QString reason;
};

// The files of the search and work folders.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Names of the plain files in folder that match the wildcard pattern: regular files only,
    // never links, folders, devices or hidden files. A folder that cannot be read lists nothing.
    [[nodiscard]] virtual QStringList listPlainFiles(const QString &folder, const QString &pattern) = 0;
    // Moves a file, replacing a file of the same name at the destination. The destination is
    // never left half-written and never written through a link.
    [[nodiscard]] virtual MoveResult moveFile(const QString &source, const QString &destination) = 0;
    // Whether both texts name one existing folder.
    [[nodiscard]] virtual bool isSameFolder(const QString &a, const QString &b) = 0;
};

// folder, the platform separator and name, joined as they stand: nothing trimmed or normalised.
[[nodiscard]] QString joinPath(const QString &folder, const QString &name);
