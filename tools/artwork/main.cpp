#include "ArtworkPainter.h"
#include "SkinArtwork.h"

#include <QGuiApplication>
#include <QTextStream>

// kvrartwork RESOURCES_DIR: repaints the built-in images below RESOURCES_DIR.
// kvrartwork --demo-picture FILE: paints the demonstration panel's picture.
int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: kvrartwork <resources folder>\n";
        return 2;
    }
    // "--demo-picture FILE" paints only the demonstration panel's picture.
    if (argc == 3 && QByteArray(argv[1]) == "--demo-picture")
        return SkinArtwork::roomPicture().save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
    ArtworkPainter painter(QString::fromLocal8Bit(argv[1]));
    return painter.paintAll() ? 0 : 1;
}
