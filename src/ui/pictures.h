#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The program's icon: a folder with an arrow leaving it, drawn at size x size pixels.
[[nodiscard]] QImage fenlowIconImage(int size);
// The same as a window icon.
[[nodiscard]] QIcon fenlowIcon();
// A pale picture larger than the main window, drawn from its top-left corner.
[[nodiscard]] const QPixmap &mainBackground();
