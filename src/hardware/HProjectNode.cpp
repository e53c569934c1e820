#include "HProjectNode.h"

#include "HTreeItems.h"

QString HProjectNode::templateFolder() const
{
    return QStringLiteral("Korvel");
}

QStandardItem *HProjectNode::findParentItem(QStandardItemModel *model, const QString &text) const
{
    return HTreeItems::find(model, text, root());
}
