#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

// Rules as (FileName, BatFile) values, in the order they are entered.
using Rules = QList<QPair<QVariant, QVariant>>;

// A rule value: text, or Null.
[[nodiscard]] QVariant text(const char *value);
extern const QVariant kNull;

// A program folder in a temporary folder: the rule database AttFile.mdb holding the given
// rules, and a search and a work folder beside it.
class ProgramFolderFixture {
public:
    explicit ProgramFolderFixture(const Rules &rules, bool withDatabase = true);

    // Files in the search folder, each holding its own name.
    void drop(const QStringList &names) const;
    // The rules as the table holds them, in the order they were entered.
    [[nodiscard]] Rules storedRules() const;
    // The table's patterns, sorted.
    [[nodiscard]] QStringList storedPatterns() const;

    QTemporaryDir dir;
    QString search;
    QString work;
    QString database;
};
