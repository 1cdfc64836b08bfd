#include "support/programfolderfixture.h"

#include "support/testfolders.h"

#include <QDir>

using namespace Qt::StringLiterals;

QVariant text(const char *value)
{
    return QString::fromUtf8(value);
}

const QVariant kNull = QVariant(QMetaType::fromType<QString>());

ProgramFolderFixture::ProgramFolderFixture(const Rules &rules, bool withDatabase)
    : search(dir.filePath(u"search"_s))
    , work(dir.filePath(u"work"_s))
    , database(dir.filePath(u"AttFile.mdb"_s))
{
    QDir().mkpath(search);
    QDir().mkpath(work);
    if (withDatabase) {
        TestFolders::createRuleDatabase(database, rules);
    }
}

void ProgramFolderFixture::drop(const QStringList &names) const
{
    for (const QString &name : names) {
        TestFolders::writeFile(search + u'/' + name, name.toUtf8());
    }
}

Rules ProgramFolderFixture::storedRules() const
{
    return TestFolders::readRules(database);
}

QStringList ProgramFolderFixture::storedPatterns() const
{
    QStringList patterns;
    for (const auto &rule : storedRules()) {
        patterns.append(rule.first.toString());
    }
    patterns.sort();
    return patterns;
}
