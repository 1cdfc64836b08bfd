#pragma once

#include "platform/jetrules.h"
#include "platform/result.h"

#include <QList>
#include <QString>

// Bringing an operator's rules over from a legacy Jet AttFile.mdb: every row of its FileList,
// Null kept apart from an empty text, written into a new SQLite rule database. Nothing on disk
// changes unless the whole conversion succeeds, and nothing is overwritten.
namespace RuleImport {

// The first of base, base.1, base.2, ... that no file has.
[[nodiscard]] QString freeName(const QString &base);

// Writes rules, in their order, into a new rule database at path.
[[nodiscard]] Result<> writeDatabase(const QString &path, const QList<JetRules::Rule> &rules);

// Converts the Jet file source into an SQLite rule database at target, written through a
// temporary file beside it. What stood at target first goes to freeName(keepBase); the name it
// got is the result (empty when nothing stood there). A failure names the file and the reason.
[[nodiscard]] Result<QString> convert(const QString &source, const QString &target, const QString &keepBase,
                                      const QString &jet3CodePage = QStringLiteral("CP932"));

} // namespace RuleImport
