#pragma once

#include <QColor>
#include <QImage>

// The lamps of the level lamp meter: a lens in a dark bezel with a pale
// rim, so that it reads on the light and the dark skin alike. A lit lamp
// glows in its zone colour; the grey one is the unlit lens.
class MeterArtwork
{
public:
    static QImage lamp(const QColor &colour, bool lit);
};
