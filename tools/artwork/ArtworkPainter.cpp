#include "ArtworkPainter.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {
const QColor Ink("#231F20");
const QColor Accent("#1D98D5");
const QColor Green("#3DAE49");
const QColor Folder("#F2B632");
const QColor FolderDark("#C98F12");

void drawPhone(QPainter &p, const QRectF &r, const QColor &body)
{
    p.setPen(QPen(Ink, 2.0));
    p.setBrush(body);
    p.drawRoundedRect(r, 4, 4);
    p.setBrush(QColor("#E9F5FB"));
    p.setPen(Qt::NoPen);
    p.drawRect(r.adjusted(3, 6, -3, -7));
    p.setBrush(Ink);
    p.drawEllipse(QPointF(r.center().x(), r.bottom() - 3.5), 1.6, 1.6);
}
} // namespace

ArtworkPainter::ArtworkPainter(const QString &outputRoot) : m_root(outputRoot) {}

QImage ArtworkPainter::canvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

bool ArtworkPainter::save(const QImage &image, const QString &relativePath)
{
    const QString path = m_root + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    ++m_written;
    return true;
}

bool ArtworkPainter::paintAll()
{
    bool ok = true;
    ok &= save(openFileIcon(), QStringLiteral("images/OpenRemoteAppFile.png"));
    ok &= save(goOnlineIcon(), QStringLiteral("images/GoOnline.png"));
    ok &= save(sendToDeviceIcon(), QStringLiteral("images/SendToDevice.png"));
    QTextStream(stdout) << m_written << " images written below " << m_root << '\n';
    return ok;
}

// An open folder with a small phone: open a remote-app panel file.
QImage ArtworkPainter::openFileIcon() const
{
    QImage image = canvas(48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath back;
    back.moveTo(4, 12);
    back.lineTo(17, 12);
    back.lineTo(21, 16);
    back.lineTo(40, 16);
    back.lineTo(40, 40);
    back.lineTo(4, 40);
    back.closeSubpath();
    p.setPen(QPen(FolderDark, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(FolderDark.lighter(130));
    p.drawPath(back);
    drawPhone(p, QRectF(20, 5, 16, 27), QColor("#FFFFFF"));
    QPainterPath front;
    front.moveTo(4, 40);
    front.lineTo(11, 22);
    front.lineTo(45, 22);
    front.lineTo(40, 40);
    front.closeSubpath();
    p.setPen(QPen(FolderDark, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Folder);
    p.drawPath(front);
    return image;
}

// Two plug halves joining, with a green link dot: go online.
QImage ArtworkPainter::goOnlineIcon() const
{
    QImage image = canvas(48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(24, 24);
    p.rotate(-45);
    p.setPen(QPen(Ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    // Cable and plug body on the left.
    p.drawLine(QPointF(-22, 0), QPointF(-13, 0));
    p.setBrush(QColor("#5C6670"));
    p.drawRoundedRect(QRectF(-13, -7, 10, 14), 2, 2);
    p.setPen(QPen(Ink, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-3, -3.5), QPointF(2, -3.5));
    p.drawLine(QPointF(-3, 3.5), QPointF(2, 3.5));
    // Socket on the right.
    p.setPen(QPen(Ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Accent);
    p.drawRoundedRect(QRectF(3, -8, 11, 16), 2, 2);
    p.drawLine(QPointF(14, 0), QPointF(22, 0));
    p.resetTransform();
    p.setPen(QPen(QColor("#FFFFFF"), 2.0));
    p.setBrush(Green);
    p.drawEllipse(QPointF(37, 37), 7.5, 7.5);
    return image;
}

// A phone receiving an arrow: send the panel to a mobile device.
QImage ArtworkPainter::sendToDeviceIcon() const
{
    QImage image = canvas(48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawPhone(p, QRectF(24, 4, 20, 38), QColor("#FFFFFF"));
    QPainterPath arrow;
    arrow.moveTo(3, 19);
    arrow.lineTo(17, 19);
    arrow.lineTo(17, 12);
    arrow.lineTo(30, 24);
    arrow.lineTo(17, 36);
    arrow.lineTo(17, 29);
    arrow.lineTo(3, 29);
    arrow.closeSubpath();
    p.setPen(QPen(Accent.darker(130), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Accent);
    p.drawPath(arrow);
    return image;
}
