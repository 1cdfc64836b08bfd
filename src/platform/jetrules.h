#pragma once

#include "platform/result.h"

#include <QList>
#include <QString>
#include <QVariant>

// The rules of a legacy Jet database (the Access 97, 2000 and 2002-2003 formats), read so that
// nothing of them is lost: every row of FileList, Null kept apart from an empty text.
namespace JetRules {

struct Rule {
    QVariant fileName; // text, or a null QVariant for Null
    QVariant batFile;
};

// Whether the file begins as a Jet database does, whatever its name.
[[nodiscard]] bool isJetFile(const QString &path);

// Every row of the table FileList, in the order a table scan returns them. Jet 4 text is
// Unicode; Jet 3 text is in jet3CodePage (an iconv name). A value that cannot be decoded is an
// error naming the row. Failures do not name the file: the caller does.
[[nodiscard]] Result<QList<Rule>> read(const QString &path, const QString &jet3CodePage = QStringLiteral("CP932"));

} // namespace JetRules
