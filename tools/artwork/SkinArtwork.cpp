#include "SkinArtwork.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {
QPen roundPen(const QColor &c, qreal w)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void begin(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}
} // namespace

QImage SkinArtwork::blank(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage SkinArtwork::arrow(const QColor &ink, bool right)
{
    QImage image = blank(64, 64);
    QPainter p(&image);
    begin(p);
    p.setPen(roundPen(ink, 7));
    const qreal tip = right ? 42 : 22;
    const qreal back = right ? 24 : 40;
    p.drawPolyline(QPolygonF{QPointF(back, 14), QPointF(tip, 32), QPointF(back, 50)});
    return image;
}

QImage SkinArtwork::arrowDown(const QColor &ink)
{
    QImage image = blank(64, 64);
    QPainter p(&image);
    begin(p);
    QPainterPath path;
    path.moveTo(14, 22);
    path.lineTo(50, 22);
    path.lineTo(32, 44);
    path.closeSubpath();
    p.setPen(roundPen(ink, 4));
    p.setBrush(ink);
    p.drawPath(path);
    return image;
}

QImage SkinArtwork::menu(const QColor &ink)
{
    QImage image = blank(64, 64);
    QPainter p(&image);
    begin(p);
    p.setPen(roundPen(ink, 6));
    for (int y : {18, 32, 46})
        p.drawLine(QPointF(13, y), QPointF(51, y));
    return image;
}

QImage SkinArtwork::indicator(const QColor &lamp, const QColor &ring)
{
    QImage image = blank(48, 48);
    QPainter p(&image);
    begin(p);
    p.setPen(QPen(ring, 3));
    QRadialGradient glow(QPointF(19, 18), 22);
    glow.setColorAt(0.0, lamp.lighter(160));
    glow.setColorAt(0.55, lamp);
    glow.setColorAt(1.0, lamp.darker(130));
    p.setBrush(glow);
    p.drawEllipse(QPointF(24, 24), 19, 19);
    return image;
}

QImage SkinArtwork::speaker(const QColor &ink, bool soundOn)
{
    QImage image = blank(64, 64);
    QPainter p(&image);
    begin(p);
    QPainterPath body;
    body.moveTo(8, 24);
    body.lineTo(18, 24);
    body.lineTo(31, 12);
    body.lineTo(31, 52);
    body.lineTo(18, 40);
    body.lineTo(8, 40);
    body.closeSubpath();
    p.setPen(roundPen(ink, 3));
    p.setBrush(ink);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(ink, 4.5));
    if (soundOn) {
        p.drawArc(QRectF(26, 22, 16, 20), -50 * 16, 100 * 16);
        p.drawArc(QRectF(24, 13, 30, 38), -50 * 16, 100 * 16);
    } else {
        p.drawLine(QPointF(39, 24), QPointF(55, 40));
        p.drawLine(QPointF(55, 24), QPointF(39, 40));
    }
    return image;
}

QImage SkinArtwork::logo(const QString &word, const QColor &ink, const QColor &mark)
{
    QImage image = blank(320, 80);
    QPainter p(&image);
    begin(p);
    // A small sound-wave mark in front of the word.
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    const int bars[] = {18, 34, 52, 34, 18};
    for (int i = 0; i < 5; ++i)
        p.drawRoundedRect(QRectF(8 + i * 11, 40 - bars[i] / 2.0, 7, bars[i]), 3, 3);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(44);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRectF(72, 0, 248, 80), Qt::AlignVCenter | Qt::AlignLeft, word);
    return image;
}

QImage SkinArtwork::phone(const QColor &ink)
{
    QImage image = blank(64, 64);
    QPainter p(&image);
    begin(p);
    QPainterPath handset;
    handset.moveTo(16, 10);
    handset.cubicTo(10, 12, 8, 18, 10, 26);
    handset.cubicTo(14, 40, 24, 50, 38, 54);
    handset.cubicTo(46, 56, 52, 54, 54, 48);
    handset.lineTo(46, 40);
    handset.lineTo(38, 44);
    handset.cubicTo(30, 40, 24, 34, 20, 26);
    handset.lineTo(24, 18);
    handset.closeSubpath();
    p.setPen(roundPen(ink, 2));
    p.setBrush(ink);
    p.drawPath(handset);
    return image;
}

QImage SkinArtwork::hold(const QColor &ink)
{
    QImage image = blank(64, 64);
    QPainter p(&image);
    begin(p);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(18, 14, 10, 36), 3, 3);
    p.drawRoundedRect(QRectF(36, 14, 10, 36), 3, 3);
    return image;
}

QImage SkinArtwork::flash(const QColor &ink)
{
    QImage image = blank(64, 64);
    QPainter p(&image);
    begin(p);
    QPainterPath bolt;
    bolt.moveTo(36, 6);
    bolt.lineTo(16, 36);
    bolt.lineTo(30, 36);
    bolt.lineTo(26, 58);
    bolt.lineTo(48, 26);
    bolt.lineTo(34, 26);
    bolt.closeSubpath();
    p.setPen(roundPen(ink, 2));
    p.setBrush(ink);
    p.drawPath(bolt);
    return image;
}

QImage SkinArtwork::backspace(const QColor &ink)
{
    QImage image = blank(64, 64);
    QPainter p(&image);
    begin(p);
    QPainterPath key;
    key.moveTo(6, 32);
    key.lineTo(20, 16);
    key.lineTo(56, 16);
    key.lineTo(56, 48);
    key.lineTo(20, 48);
    key.closeSubpath();
    p.setPen(roundPen(ink, 4));
    p.drawPath(key);
    p.drawLine(QPointF(29, 25), QPointF(43, 39));
    p.drawLine(QPointF(43, 25), QPointF(29, 39));
    return image;
}

QImage SkinArtwork::collections(const QColor &ink)
{
    QImage image = blank(64, 64);
    QPainter p(&image);
    begin(p);
    p.setPen(roundPen(ink, 3.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(18, 8, 38, 30), 4, 4);
    p.drawRoundedRect(QRectF(12, 16, 38, 30), 4, 4);
    p.setBrush(ink.lighter(170));
    p.drawRoundedRect(QRectF(6, 24, 38, 30), 4, 4);
    return image;
}

QImage SkinArtwork::placeholderPicture()
{
    QImage image = blank(128, 96);
    QPainter p(&image);
    begin(p);
    p.setPen(QPen(QColor("#A8AAAD"), 3));
    p.setBrush(QColor("#F3F3F3"));
    p.drawRoundedRect(QRectF(4, 4, 120, 88), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#F2B632"));
    p.drawEllipse(QPointF(92, 28), 10, 10);
    p.setBrush(QColor("#8BC34A"));
    p.drawPolygon(QPolygonF{QPointF(14, 80), QPointF(48, 36), QPointF(74, 68), QPointF(88, 54), QPointF(114, 80)});
    return image;
}

QImage SkinArtwork::roomPicture()
{
    QImage image(528, 300, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    begin(p);
    QLinearGradient wall(0, 0, 0, 300);
    wall.setColorAt(0.0, QColor("#2E3A46"));
    wall.setColorAt(1.0, QColor("#131A20"));
    p.fillRect(image.rect(), wall);
    // Stage and screen.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#1D98D5"));
    p.drawRoundedRect(QRectF(164, 40, 200, 110), 6, 6);
    p.setBrush(QColor("#E9F5FB"));
    p.drawRect(QRectF(174, 50, 180, 90));
    p.setBrush(QColor("#3A4753"));
    p.drawRect(QRectF(0, 196, 528, 104));
    // Loudspeakers left and right.
    p.setBrush(QColor("#0E1318"));
    for (qreal x : {84.0, 420.0}) {
        p.drawRoundedRect(QRectF(x, 60, 24, 70), 4, 4);
        p.setBrush(QColor("#5D6061"));
        p.drawEllipse(QPointF(x + 12, 80), 7, 7);
        p.drawEllipse(QPointF(x + 12, 108), 9, 9);
        p.setBrush(QColor("#0E1318"));
    }
    // Rows of seats.
    for (int row = 0; row < 3; ++row) {
        p.setBrush(QColor(row == 0 ? "#8BC34A" : "#6B7F8C"));
        const qreal y = 210 + row * 28;
        for (int seat = 0; seat < 12; ++seat)
            p.drawRoundedRect(QRectF(40 + seat * 38 + row * 6, y, 28, 18), 5, 5);
    }
    // Lectern with a microphone.
    p.setBrush(QColor("#F2B632"));
    p.drawRect(QRectF(384, 150, 34, 46));
    p.setPen(QPen(QColor("#E9F5FB"), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(401, 150), QPointF(396, 134));
    return image;
}
