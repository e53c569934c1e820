#pragma once

#include <QtGlobal>

// Keeps a group-level code within what the devices accept: from -1 ("off")
// to 144 (+12 dB).
class TGrpVLimiter
{
public:
    static constexpr int Off = -1;
    static constexpr int Max = 144;

    static int limit(qint64 code);
};
