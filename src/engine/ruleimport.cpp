#include "engine/ruleimport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace RuleImport {

QString freeName(const QString &base)
{
    QString name = base;
    for (int n = 1; QFileInfo::exists(name); ++n) {
        name = base + u'.' + QString::number(n);
    }
    return name;
}

Result<> writeDatabase(const QString &path, const QList<JetRules::Rule> &rules)
{
    static int connections = 0;
    const QString connection = u"RuleImport-%1"_s.arg(++connections);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (!db.open() || !db.transaction()) {
            failure = db.lastError().text();
        } else if (!query.exec(u"create table FileList (FileName text, BatFile text)"_s)) {
            failure = query.lastError().text();
        } else {
            query.prepare(u"insert into FileList (FileName, BatFile) values (?, ?)"_s);
            for (const JetRules::Rule &rule : rules) {
                query.addBindValue(rule.fileName);
                query.addBindValue(rule.batFile);
                if (!query.exec()) {
                    failure = query.lastError().text();
                    break;
                }
            }
            if (failure.isEmpty() && !db.commit()) {
                failure = db.lastError().text();
            }
        }
        query = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return failure.isEmpty() ? Result<>::success() : Result<>::failure(failure);
}

Result<QString> convert(const QString &source, const QString &target, const QString &keepBase,
                        const QString &jet3CodePage)
{
    using Converted = Result<QString>;
    const auto failed = [&](const QString &file, const QString &reason) {
        return Converted::failure(u"規則のデータベース %1 を変換できません: %2"_s.arg(file, reason));
    };
    const Result<QList<JetRules::Rule>> rules = JetRules::read(source, jet3CodePage);
    if (!rules) {
        return failed(source, rules.reason());
    }

    // The new table beside the target, complete before anything is renamed.
    QTemporaryFile temporary(QFileInfo(target).absolutePath() + u"/.AttFile-XXXXXX.mdb"_s);
    if (!temporary.open()) {
        return failed(target, temporary.errorString());
    }
    temporary.close();
    if (const Result<> written = writeDatabase(temporary.fileName(), rules.value()); !written) {
        return failed(target, written.reason());
    }

    QString kept;
    if (QFileInfo::exists(target)) {
        kept = freeName(keepBase);
        if (!QFile::rename(target, kept)) {
            return failed(target, u"%1 として残せません"_s.arg(kept));
        }
    }
    if (!QFile::rename(temporary.fileName(), target)) {
        if (!kept.isEmpty()) {
            QFile::rename(kept, target); // as it was
        }
        return failed(target, u"新しい規則のデータベースを置けません"_s);
    }
    temporary.setAutoRemove(false);
    return kept;
}

} // namespace RuleImport
