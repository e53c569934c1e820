#pragma once

#include "HNode.h"

// A room of a room-combine group.
class HRCRoom : public HNode
{
    Q_OBJECT
public:
    HRCRoom() = default;

    QString category() const override;
};
