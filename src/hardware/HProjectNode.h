#pragma once

#include "HNode.h"

// Base of the project-wide objects that gather parameters of several blocks:
// control groups, parameter sets and parameter-set lists. Their templates lie
// in the "Korvel" folder; they hang under the project's main processor, and
// the tree shows them in the root's folder of their kind.
class HProjectNode : public HNode
{
    Q_OBJECT
public:
    static const char *const TemplateFolder;

    HProjectNode() = default;

    QString templateFolder() const override;
    QStandardItem *findParentItem(QStandardItemModel *model, const QString &text) const override;
    HComposite *chooseParent(HComposite *mainChassis, HComposite *activeChassis) override;
};
