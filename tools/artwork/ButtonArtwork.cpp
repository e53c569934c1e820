#include "ButtonArtwork.h"
#include "SkinArtwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {
constexpr int Size = 64;

QImage blank()
{
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QPen roundPen(const QColor &c, qreal w)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The front key of the stack; two keys behind it say "all of them".
const QRectF FrontKey(8, 22, 34, 34);

QImage keyStack(const QColor &ink)
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    QColor back = ink;
    back.setAlphaF(0.45);
    p.setPen(roundPen(back, 3));
    p.drawRoundedRect(FrontKey.translated(12, -12), 6, 6);
    back.setAlphaF(0.7);
    p.setPen(roundPen(back, 3));
    p.drawRoundedRect(FrontKey.translated(6, -6), 6, 6);
    p.setPen(roundPen(ink, 3.5));
    p.drawRoundedRect(FrontKey, 6, 6);
    return image;
}
} // namespace

QImage ButtonArtwork::lamp(const QColor &colour, bool lit)
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(32, 32);
    if (lit) {
        // The glow spills past the bezel.
        QRadialGradient halo(centre, 31);
        QColor inner = colour;
        inner.setAlphaF(0.55);
        QColor outer = colour;
        outer.setAlphaF(0.0);
        halo.setColorAt(0.55, inner);
        halo.setColorAt(1.0, outer);
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(centre, 31, 31);
    }
    QLinearGradient bezel(0, 12, 0, 52);
    bezel.setColorAt(0.0, QColor("#9A9DA0"));
    bezel.setColorAt(1.0, QColor("#3C3F41"));
    p.setPen(QPen(QColor("#2A2C2E"), 1.5));
    p.setBrush(bezel);
    p.drawEllipse(centre, 20, 20);

    QRadialGradient lens(QPointF(27, 26), 19);
    if (lit) {
        lens.setColorAt(0.0, QColor("#FFFFFF"));
        lens.setColorAt(0.25, colour.lighter(140));
        lens.setColorAt(0.7, colour);
        lens.setColorAt(1.0, colour.darker(130));
    } else {
        const QColor dark = colour.darker(260);
        lens.setColorAt(0.0, colour.darker(140));
        lens.setColorAt(0.6, dark);
        lens.setColorAt(1.0, dark.darker(140));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(lens);
    p.drawEllipse(centre, 15.5, 15.5);
    // A glint on the glass, dimmer on an unlit lamp.
    p.setBrush(QColor(255, 255, 255, lit ? 200 : 90));
    p.drawEllipse(QPointF(26, 25), 4.5, 3);
    return image;
}

QImage ButtonArtwork::muteEngaged(const QColor &accent)
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Bright accents get a dark speaker, and the brightest a rim, so that
    // the badge stays readable on the light skin's white canvas.
    const double brightness = 0.299 * accent.red() + 0.587 * accent.green() + 0.114 * accent.blue();
    const QColor ink = brightness > 180 ? QColor("#231F20") : QColor("#FFFFFF");
    p.setPen(brightness > 230 ? QPen(QColor("#808285"), 2) : Qt::NoPen);
    p.setBrush(accent);
    p.drawEllipse(QPointF(32, 32), 29, 29);

    // The skins' speaker, crossed out, on the disc.
    p.drawImage(QRectF(11, 11, 42, 42), SkinArtwork::speaker(ink, false));
    return image;
}

QImage ButtonArtwork::setAll(const QColor &ink)
{
    QImage image = keyStack(ink);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(roundPen(ink, 5));
    p.drawPolyline(QPolygonF{QPointF(15, 39), QPointF(22, 47), QPointF(35, 31)});
    return image;
}

QImage ButtonArtwork::resetAll(const QColor &ink)
{
    QImage image = keyStack(ink);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // An arrow turning back to the start.
    p.setPen(roundPen(ink, 4));
    p.setBrush(Qt::NoBrush);
    const QRectF arc(15, 29, 20, 20);
    p.drawArc(arc, 100 * 16, 260 * 16);
    QPainterPath head;
    head.moveTo(22.5, 24.5);
    head.lineTo(29.5, 29.5);
    head.lineTo(22.5, 34.5);
    head.closeSubpath();
    p.setPen(roundPen(ink, 2));
    p.setBrush(ink);
    p.drawPath(head);
    return image;
}
