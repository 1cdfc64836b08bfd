#include "cli/fenlowctl.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fenlowctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FENLOW_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Fenlowctl::run(app.arguments(), out, err);
}
