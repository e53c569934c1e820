#include "TreeIconArtwork.h"

#include <QPainter>
#include <QPainterPath>

namespace {
const QColor Ink("#231F20");
const QColor Accent("#1D98D5");
const QColor Paper("#FFFFFF");

QImage blank()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void begin(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}
} // namespace

QImage TreeIconArtwork::button()
{
    QImage image = blank();
    QPainter p(&image);
    begin(p);
    p.setBrush(Accent);
    p.drawRoundedRect(QRectF(4, 9, 24, 14), 4, 4);
    p.setBrush(Paper);
    p.drawEllipse(QPointF(11, 16), 3, 3);
    return image;
}

QImage TreeIconArtwork::dropList()
{
    QImage image = blank();
    QPainter p(&image);
    begin(p);
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(3, 9, 26, 14), 2, 2);
    p.setBrush(Ink);
    p.drawPolygon(QPolygonF{QPointF(19, 14), QPointF(26, 14), QPointF(22.5, 19)});
    return image;
}

QImage TreeIconArtwork::slider()
{
    QImage image = blank();
    QPainter p(&image);
    begin(p);
    p.drawLine(QPointF(16, 3), QPointF(16, 29));
    p.setBrush(Accent);
    p.drawRoundedRect(QRectF(9, 14, 14, 7), 2, 2);
    return image;
}

QImage TreeIconArtwork::parameterSet()
{
    QImage image = blank();
    QPainter p(&image);
    begin(p);
    p.setBrush(Paper);
    p.drawRect(QRectF(8, 4, 18, 22));
    p.drawRect(QRectF(5, 7, 18, 22));
    for (int y : {13, 18, 23})
        p.drawLine(QPointF(9, y), QPointF(19, y));
    return image;
}

QImage TreeIconArtwork::dialer()
{
    QImage image = blank();
    QPainter p(&image);
    begin(p);
    p.setBrush(Ink);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawEllipse(QPointF(9 + c * 7, 6 + r * 7), 2.3, 2.3);
    return image;
}

QImage TreeIconArtwork::label()
{
    QImage image = blank();
    QPainter p(&image);
    begin(p);
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(3, 8, 26, 16), 2, 2);
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(3, 8, 26, 16), Qt::AlignCenter, QStringLiteral("Aa"));
    return image;
}

QImage TreeIconArtwork::polygon()
{
    QImage image = blank();
    QPainter p(&image);
    begin(p);
    p.setBrush(QColor("#8BC34A"));
    p.drawPolygon(QPolygonF{QPointF(5, 10), QPointF(18, 4), QPointF(28, 14), QPointF(22, 28), QPointF(7, 24)});
    return image;
}

QImage TreeIconArtwork::comboSelector()
{
    QImage image = blank();
    QPainter p(&image);
    begin(p);
    p.setBrush(Accent);
    p.drawRect(QRectF(4, 6, 11, 9));
    p.setBrush(Paper);
    p.drawRect(QRectF(17, 6, 11, 9));
    p.drawRect(QRectF(4, 17, 11, 9));
    p.setBrush(Accent);
    p.drawRect(QRectF(17, 17, 11, 9));
    return image;
}

QImage TreeIconArtwork::meter()
{
    QImage image = blank();
    QPainter p(&image);
    begin(p);
    p.setPen(Qt::NoPen);
    const QColor colours[] = {QColor("#3DAE49"), QColor("#3DAE49"), QColor("#3DAE49"),
                              QColor("#F2B632"), QColor("#D0342C")};
    for (int i = 0; i < 5; ++i) {
        p.setBrush(colours[i]);
        p.drawRect(QRectF(10, 25 - i * 5, 12, 4));
    }
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(8.5, 3.5, 15, 27));
    return image;
}

QImage TreeIconArtwork::panel(int kind)
{
    QImage image = blank();
    QPainter p(&image);
    begin(p);
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(8, 2, 16, 28), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kind == 1 ? Accent : kind == 2 ? QColor("#A8AAAD") : QColor("#F2B632"));
    if (kind == 2) {
        p.setPen(QPen(Ink, 1.0, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(11, 6, 10, 18));
    } else {
        p.drawRect(QRectF(11, 6, 10, kind == 1 ? 18 : 8));
    }
    return image;
}
