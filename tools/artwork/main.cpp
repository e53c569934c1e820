#include "ArtworkPainter.h"

#include <QGuiApplication>
#include <QTextStream>

// kvrartwork RESOURCES_DIR: repaints the built-in images below RESOURCES_DIR.
int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: kvrartwork <resources folder>\n";
        return 2;
    }
    ArtworkPainter painter(QString::fromLocal8Bit(argv[1]));
    return painter.paintAll() ? 0 : 1;
}
