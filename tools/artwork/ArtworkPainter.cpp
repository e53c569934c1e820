#include "ArtworkPainter.h"
#include "ButtonArtwork.h"
#include "MeterArtwork.h"
#include "SkinArtwork.h"
#include "TreeIconArtwork.h"

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
    ok &= paintSkins();
    ok &= paintDialerKeys();
    ok &= paintLamps();
    ok &= paintTreeIcons();
    ok &= paintMeterLamps();
    QTextStream(stdout) << m_written << " images written below " << m_root << '\n';
    return ok;
}

bool ArtworkPainter::paintSkins()
{
    struct SkinInk { const char *name; QColor ink; QColor muted; QColor ring; QColor logoInk; };
    const SkinInk skins[] = {
        {"Light", QColor("#231F20"), QColor("#808285"), QColor("#FFFFFF"), QColor("#231F20")},
        {"Dark", QColor("#FFFFFF"), QColor("#A8AAAD"), QColor("#464949"), QColor("#FFFFFF")},
    };
    bool ok = true;
    for (const SkinInk &skin : skins) {
        const QString dir = QStringLiteral("images/skins/%1/").arg(QLatin1String(skin.name));
        ok &= save(SkinArtwork::arrow(skin.ink, true), dir + "arrow_right.png");
        ok &= save(SkinArtwork::arrow(skin.ink, false), dir + "arrow_left.png");
        ok &= save(SkinArtwork::menu(skin.ink), dir + "menu.png");
        ok &= save(SkinArtwork::indicator(QColor("#D0342C"), skin.ring), dir + "indicator_red.png");
        ok &= save(SkinArtwork::indicator(QColor("#F2B632"), skin.ring), dir + "indicator_ylw.png");
        ok &= save(SkinArtwork::indicator(QColor("#3DAE49"), skin.ring), dir + "indicator_grn.png");
        // The button of a live channel: a plain speaker in the skin's grey.
        ok &= save(SkinArtwork::speaker(skin.muted, true), dir + "mute_off.png");
        ok &= save(ButtonArtwork::setAll(skin.ink), dir + "setAll.png");
        ok &= save(ButtonArtwork::resetAll(skin.ink), dir + "resetAll.png");
        ok &= save(SkinArtwork::logo(QStringLiteral("HALVERN"), skin.logoInk, QColor("#1D98D5")),
                   dir + "logo_halvern.png");
        ok &= save(SkinArtwork::logo(QStringLiteral("KORVEL"), skin.logoInk, QColor("#8BC34A")),
                   dir + "logo_kvr.png");
    }
    const QPair<const char *, QColor> accents[] = {
        {"Black", QColor("#000000")}, {"Blue", QColor("#1D98D5")},  {"Green", QColor("#8BC34A")},
        {"Pink", QColor("#E91E63")},  {"Red", QColor("#D32F2F")},   {"White", QColor("#FAFAFA")},
        {"Yellow", QColor("#FFC107")},
    };
    for (const auto &accent : accents) {
        const QString dir = QStringLiteral("images/skins/Accent/%1/").arg(QLatin1String(accent.first));
        ok &= save(SkinArtwork::arrowDown(accent.second), dir + "arrow_down.png");
        ok &= save(ButtonArtwork::muteEngaged(accent.second), dir + "mute_on.png");
    }
    return ok;
}

bool ArtworkPainter::paintDialerKeys()
{
    const QColor ink("#231F20");
    bool ok = true;
    ok &= save(SkinArtwork::collections(ink), QStringLiteral("images/Collections.png"));
    ok &= save(SkinArtwork::placeholderPicture(), QStringLiteral("images/default.png"));
    ok &= save(SkinArtwork::flash(ink), QStringLiteral("images/flash.png"));
    ok &= save(SkinArtwork::hold(ink), QStringLiteral("images/hold.png"));
    ok &= save(SkinArtwork::phone(QColor("#3DAE49")), QStringLiteral("images/phone.png"));
    ok &= save(SkinArtwork::backspace(ink), QStringLiteral("images/ic_backspace.png"));
    ok &= save(SkinArtwork::speaker(QColor("#808285"), false), QStringLiteral("images/mute_off.png"));
    ok &= save(SkinArtwork::speaker(QColor("#1D98D5"), true), QStringLiteral("images/mute_on.png"));
    return ok;
}

bool ArtworkPainter::paintLamps()
{
    const QColor green("#35D04F");
    const QColor red("#F0382B");
    bool ok = true;
    ok &= save(ButtonArtwork::lamp(green, true), QStringLiteral("images/ledOn.png"));
    ok &= save(ButtonArtwork::lamp(green, false), QStringLiteral("images/ledOffGreen.png"));
    ok &= save(ButtonArtwork::lamp(red, false), QStringLiteral("images/ledOffRed.png"));
    ok &= save(ButtonArtwork::lamp(red, true), QStringLiteral("images/ledRed.png"));
    return ok;
}

bool ArtworkPainter::paintTreeIcons()
{
    bool ok = true;
    ok &= save(TreeIconArtwork::button(), QStringLiteral("images/ButtonIcon.png"));
    ok &= save(TreeIconArtwork::dropList(), QStringLiteral("images/DropListIcon.png"));
    ok &= save(TreeIconArtwork::slider(), QStringLiteral("images/SliderIcon.png"));
    ok &= save(TreeIconArtwork::parameterSet(), QStringLiteral("images/ParameterSetIcon.png"));
    ok &= save(TreeIconArtwork::dialer(), QStringLiteral("images/Dialer.png"));
    ok &= save(TreeIconArtwork::label(), QStringLiteral("images/AddLabel.png"));
    ok &= save(TreeIconArtwork::polygon(), QStringLiteral("images/polygon.png"));
    ok &= save(TreeIconArtwork::comboSelector(), QStringLiteral("images/AddCSC.png"));
    ok &= save(TreeIconArtwork::meter(), QStringLiteral("images/meterBlack.png"));
    ok &= save(TreeIconArtwork::panel(1), QStringLiteral("images/CompletePanel.png"));
    ok &= save(TreeIconArtwork::panel(2), QStringLiteral("images/TemplatePanel.png"));
    ok &= save(TreeIconArtwork::panel(3), QStringLiteral("images/CustomPanel.png"));
    return ok;
}

bool ArtworkPainter::paintMeterLamps()
{
    // The zone colours of the bar meter.
    bool ok = true;
    ok &= save(MeterArtwork::lamp(QColor("#C3C3C3"), false), QStringLiteral("images/meterGrey.png"));
    ok &= save(MeterArtwork::lamp(QColor("#21f321"), true), QStringLiteral("images/meterGreen.png"));
    ok &= save(MeterArtwork::lamp(QColor("#fff780"), true), QStringLiteral("images/meterYellow.png"));
    ok &= save(MeterArtwork::lamp(QColor("#ff8000"), true), QStringLiteral("images/meterOrange.png"));
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
