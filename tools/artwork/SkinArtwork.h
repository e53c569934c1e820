#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// The images that skins and accents name: page arrows, the setup menu
// button, connection indicators, mute pictures, drop-down arrows, logos,
// and the dialer's key pictures.
class SkinArtwork
{
public:
    struct Skin
    {
        QString name;
        QColor ink;     // strokes on the skin's bars
        QColor muted;   // the neutral "sound off" picture
    };

    static QImage arrow(const QColor &ink, bool right);
    static QImage arrowDown(const QColor &ink);
    static QImage menu(const QColor &ink);
    static QImage indicator(const QColor &lamp, const QColor &ring);
    static QImage speaker(const QColor &ink, bool soundOn);
    static QImage logo(const QString &word, const QColor &ink, const QColor &mark);

    static QImage phone(const QColor &ink);
    static QImage hold(const QColor &ink);
    static QImage flash(const QColor &ink);
    static QImage backspace(const QColor &ink);
    static QImage collections(const QColor &ink);
    // The picture an image control shows before it is given one.
    static QImage placeholderPicture();
    // The room picture of the demonstration panel.
    static QImage roomPicture();

private:
    static QImage blank(int width, int height);
};
