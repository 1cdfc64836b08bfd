#include "support/testfolders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace TestFolders {

namespace {

template <typename Work> void withDatabase(const QString &path, Work work)
{
    const QString name = u"test-support"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        if (!db.open()) {
            qFatal("cannot open %s", qPrintable(path));
        }
        work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

void createRuleDatabase(const QString &path, const QList<QPair<QVariant, QVariant>> &rules)
{
    withDatabase(path, [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        if (!query.exec(u"create table FileList (FileName text, BatFile text)"_s)) {
            qFatal("%s", qPrintable(query.lastError().text()));
        }
        for (const auto &rule : rules) {
            query.prepare(u"insert into FileList (FileName, BatFile) values (?, ?)"_s);
            query.addBindValue(rule.first);
            query.addBindValue(rule.second);
            if (!query.exec()) {
                qFatal("%s", qPrintable(query.lastError().text()));
            }
        }
    });
}

QList<QPair<QVariant, QVariant>> readRules(const QString &path)
{
    QList<QPair<QVariant, QVariant>> rules;
    withDatabase(path, [&](QSqlDatabase &db) {
        QSqlQuery query(u"select FileName, BatFile from FileList order by rowid"_s, db);
        while (query.next()) {
            rules.append({query.value(0), query.value(1)});
        }
    });
    return rules;
}

void execute(const QString &path, const QString &statement)
{
    withDatabase(path, [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        if (!query.exec(statement)) {
            qFatal("%s", qPrintable(query.lastError().text()));
        }
    });
}

qint64 endedProcessId()
{
    QProcess process;
    process.start(u"true"_s, {});
    if (!process.waitForStarted()) {
        qFatal("cannot start true");
    }
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

} // namespace TestFolders
