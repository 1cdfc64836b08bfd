// Writes the program's icon as PNG files of the given sizes into a folder, for the package:
// makeicons FOLDER SIZE...  ->  FOLDER/SIZExSIZE/apps/fenlow.png (the hicolor theme's layout)
#include "ui/pictures.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: makeicons FOLDER SIZE...\n");
        return 2;
    }
    for (qsizetype i = 2; i < args.size(); ++i) {
        const int size = args[i].toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        if (size <= 0 || !QDir().mkpath(folder)
            || !fenlowIconImage(size).save(folder + QStringLiteral("/fenlow.png"))) {
            std::fprintf(stderr, "cannot write the %s pixel icon\n", qPrintable(args[i]));
            return 1;
        }
    }
    return 0;
}
