#include "ui/fonts.h"

#include <QStringList>

using namespace Qt::StringLiterals;

QFont japaneseFont(double pointSize, int weight)
{
    QFont font;
    font.setFamilies(
        QStringList{u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"Noto Sans CJK JP"_s, u"IPAPGothic"_s, u"IPAGothic"_s});
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Weight(weight));
    return font;
}
