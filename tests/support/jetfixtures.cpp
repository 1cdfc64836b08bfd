#include "support/jetfixtures.h"

using namespace Qt::StringLiterals;

namespace JetFixtures {

QString path(const QString &name)
{
    return QStringLiteral(FENLOW_TEST_DATA "/jet/") + name;
}

QStringList shown(const QList<std::pair<QVariant, QVariant>> &rows)
{
    const auto value = [](const QVariant &v) { return v.isNull() ? u"<null>"_s : u"「"_s + v.toString() + u"」"_s; };
    QStringList lines;
    for (const auto &[fileName, batFile] : rows) {
        lines.append(value(fileName) + u' ' + value(batFile));
    }
    return lines;
}

QStringList setA()
{
    return {u"「*.csv」 「/opt/tools/import-csv」"_s,
            u"「見積*.xls」 「/opt/tools/見積処理 --mode=full」"_s,
            u"「report??.txt」 「\"/opt/my tools/report\" a b」"_s,
            u"<null> 「/bin/true」"_s,
            u"「」 「/bin/false」"_s,
            u"「*.dat」 <null>"_s,
            u"「*.csv」 「/opt/tools/second-csv」"_s};
}

QStringList setB()
{
    QStringList rows = setA();
    rows.removeAt(1);
    return rows;
}

} // namespace JetFixtures
