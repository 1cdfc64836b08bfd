#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The legacy Jet rule databases in tests/data/jet (see the README there) and their rows.
namespace JetFixtures {

// The path of a fixture file.
[[nodiscard]] QString path(const QString &name);
// Rows as (FileName, BatFile) text, 「…」 around a value and <null> for Null, so a table can say them.
[[nodiscard]] QStringList shown(const QList<std::pair<QVariant, QVariant>> &rows);
// Set A of the README: attfile-v2000.mdb's rows in insertion order.
[[nodiscard]] QStringList setA();
// Set B: attfile-v97.mdb (set A without row 2).
[[nodiscard]] QStringList setB();

} // namespace JetFixtures
