#pragma once

#include <QIcon>
#include <QPixmap>

// The program's window icon: a folder with an arrow leaving it, 32 x 32.
[[nodiscard]] QIcon fenlowIcon();
// A pale picture larger than the main window, drawn from its top-left corner.
[[nodiscard]] const QPixmap &mainBackground();
