#include "MeterArtwork.h"

#include <QPainter>
#include <QRadialGradient>

QImage MeterArtwork::lamp(const QColor &colour, bool lit)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(32, 32);

    // Bezel: a pale outer rim for dark canvases, a dark ring for light ones.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.6));
    p.setBrush(QColor("#3A3D3E"));
    p.drawEllipse(centre, 29.5, 29.5);
    p.setPen(QPen(QColor("#1E2021"), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 24.5, 24.5);

    // Lens.
    QRadialGradient lens(QPointF(27, 26), 26);
    if (lit) {
        lens.setColorAt(0.0, colour.lighter(170));
        lens.setColorAt(0.45, colour);
        lens.setColorAt(1.0, colour.darker(165));
    } else {
        lens.setColorAt(0.0, colour.lighter(115));
        lens.setColorAt(0.6, colour.darker(125));
        lens.setColorAt(1.0, colour.darker(190));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(lens);
    p.drawEllipse(centre, 23.5, 23.5);

    if (lit) {
        // The glow spills a little onto the bezel.
        QRadialGradient glow(centre, 30);
        QColor halo = colour;
        halo.setAlpha(0);
        glow.setColorAt(0.74, QColor(colour.red(), colour.green(), colour.blue(), 110));
        glow.setColorAt(1.0, halo);
        p.setBrush(glow);
        p.drawEllipse(centre, 30, 30);
    }

    // Highlight.
    QRadialGradient shine(QPointF(25, 21), 11);
    shine.setColorAt(0.0, QColor(255, 255, 255, lit ? 200 : 120));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawEllipse(QPointF(25, 21), 11, 8);
    return image;
}
