#pragma once

#include "HProjectNode.h"

// A list of parameter sets of the project, shown as a panel.
class HParameterSetList : public HProjectNode
{
    Q_OBJECT
public:
    HParameterSetList() = default;

    QString category() const override;
};
