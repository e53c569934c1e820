#pragma once

#include "HNode.h"

// A room of a room-combine group. The tree shows it below its group's item.
class HRCRoom : public HNode
{
    Q_OBJECT
public:
    HRCRoom();

    QString category() const override;
    // The item of the parent group in the root's RCGroups folder.
    QStandardItem *findParentItem(QStandardItemModel *model, const QString &text) const override;
};
