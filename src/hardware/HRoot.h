#pragma once

#include "HComposite.h"

// The top of the hardware tree: the whole design project. Its children are
// the devices; the project-wide objects hang under the main device.
class HRoot : public HComposite
{
    Q_OBJECT
public:
    HRoot() = default;

    QString category() const override;
    // The devices first, then the folders Groups, ParameterSets, RCGroups and
    // ParameterSetLists that hold the project-wide objects.
    void buildModel(QStandardItemModel *model) override;
};
