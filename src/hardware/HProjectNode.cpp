#include "HProjectNode.h"

#include "HTreeItems.h"

const char *const HProjectNode::TemplateFolder = "Korvel";

QString HProjectNode::templateFolder() const
{
    return QLatin1String(TemplateFolder);
}

QStandardItem *HProjectNode::findParentItem(QStandardItemModel *model, const QString &text) const
{
    return HTreeItems::find(model, text, root());
}

HComposite *HProjectNode::chooseParent(HComposite *mainChassis, HComposite *)
{
    return mainChassis;
}
