#include "app/appicon.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

// Writes the program's icon into a hicolor theme tree:
//   iconmaker DIR NAME SIZE...   →   DIR/<SIZE>x<SIZE>/apps/NAME.png
int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fputs("usage: iconmaker DIR NAME SIZE...\n", stderr);
        return 2;
    }
    const QDir root(args[0]);
    for (const QString& sizeText : args.mid(2)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "iconmaker: not a size: %s\n", qPrintable(sizeText));
            return 2;
        }
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = root.filePath(folder + QLatin1Char('/') + args[1] + ".png");
        if (!root.mkpath(folder) || !drawAppIcon(size).save(file)) {
            std::fprintf(stderr, "iconmaker: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
