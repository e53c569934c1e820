#pragma once

#include <QImage>
#include <QString>

// Draws the built-in images with QPainter so that they are crisp and
// consistent, and writes them as PNG files below an output folder.
class ArtworkPainter
{
public:
    explicit ArtworkPainter(const QString &outputRoot);

    bool paintAll();

private:
    bool save(const QImage &image, const QString &relativePath);
    static QImage canvas(int size);

    bool paintSkins();
    bool paintDialerKeys();
    bool paintLamps();
    bool paintTreeIcons();
    bool paintMeterLamps();

    QImage openFileIcon() const;
    QImage goOnlineIcon() const;
    QImage sendToDeviceIcon() const;

    QString m_root;
    int m_written = 0;
};
