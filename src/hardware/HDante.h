#pragma once

#include "HIoNode.h"

// A Dante receive or transmit channel group of a device.
class HDante : public HIoNode
{
    Q_OBJECT
public:
    using HIoNode::HIoNode;

    QString category() const override;
};
