#include "ui/fonts.h"

#include <QStringList>

QFont japaneseFont(double pointSize, int weight)
{
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic")});
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Weight(weight));
    return font;
}
