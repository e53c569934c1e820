#pragma once

#include "HNode.h"

// Base of the project-wide objects that gather parameters of several blocks:
// control groups, parameter sets and parameter-set lists. Their templates lie
// in the "Korvel" folder, and the tree shows them in the root's folder of
// their kind, whichever device they hang under.
class HProjectNode : public HNode
{
    Q_OBJECT
public:
    HProjectNode() = default;

    QString templateFolder() const override;
    QStandardItem *findParentItem(QStandardItemModel *model, const QString &text) const override;
};
