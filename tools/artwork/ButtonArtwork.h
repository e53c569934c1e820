#pragma once

#include <QColor>
#include <QImage>

// The pictures of panel buttons: lamps lit and unlit, the engaged mute
// badge of each accent, and the set-all and reset-all keys of each skin.
class ButtonArtwork
{
public:
    // A panel lamp in its bezel; lit, it glows in colour.
    static QImage lamp(const QColor &colour, bool lit);
    // A crossed-out speaker on a disc of the accent colour.
    static QImage muteEngaged(const QColor &accent);
    // A stack of keys, the front one checked (set all) or with a turning
    // arrow (reset all).
    static QImage setAll(const QColor &ink);
    static QImage resetAll(const QColor &ink);
};
