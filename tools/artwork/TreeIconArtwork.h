#pragma once

#include <QImage>

// Small icons of the hardware tree's parameter kinds and of panel kinds.
class TreeIconArtwork
{
public:
    static QImage button();
    static QImage dropList();
    static QImage slider();
    static QImage parameterSet();
    static QImage dialer();
    static QImage label();
    static QImage polygon();
    static QImage comboSelector();
    static QImage meter();
    // kind: 1 complete, 2 template, 3 custom
    static QImage panel(int kind);
};
