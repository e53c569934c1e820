#pragma once

#include "HNode.h"

// A processing block of a device (gain, selector, mixer, room router, ...).
class HBlock : public HNode
{
    Q_OBJECT
public:
    HBlock() = default;

    QString category() const override;
};
