#pragma once

#include "HComposite.h"

// A room-combine group of the project; it holds its rooms.
class HRCGroup : public HComposite
{
    Q_OBJECT
public:
    HRCGroup() = default;

    QString category() const override;
    QString templateFolder() const override;
};
