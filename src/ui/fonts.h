#pragma once

#include <QFont>

// The named Japanese font, with the installed Japanese fonts that stand in for it elsewhere.
[[nodiscard]] QFont japaneseFont(double pointSize, int weight = QFont::Normal);
