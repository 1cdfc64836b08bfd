#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

// Small helpers over real temporary folders.
namespace TestFolders {

void writeFile(const QString &path, const QByteArray &content = "data");
[[nodiscard]] QByteArray readFile(const QString &path);
// Plain names in folder (hidden ones included), sorted.
[[nodiscard]] QStringList entries(const QString &folder);

// A rule database at path with table FileList and these (FileName, BatFile) rows in this order.
void createRuleDatabase(const QString &path, const QList<QPair<QVariant, QVariant>> &rules);
// The rules in the table, ordered by rowid.
[[nodiscard]] QList<QPair<QVariant, QVariant>> readRules(const QString &path);
// The id of a process of this host that has ended: one started and waited for.
[[nodiscard]] qint64 endedProcessId();
// Runs one statement on the database through a connection of its own.
void execute(const QString &path, const QString &statement);

} // namespace TestFolders
