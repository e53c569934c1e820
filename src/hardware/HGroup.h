#pragma once

#include "HProjectNode.h"

// A control group of the project: one control for the same parameter of several blocks.
class HGroup : public HProjectNode
{
    Q_OBJECT
public:
    HGroup() = default;

    QString category() const override;
};
