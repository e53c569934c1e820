#include "HRCRoom.h"

#include "HTreeItems.h"

#include <QStandardItemModel>

HRCRoom::HRCRoom()
{
    setTitle(QStringLiteral("RCRoom"));
    setTypenum(QStringLiteral("0"));
}

QString HRCRoom::category() const
{
    return QStringLiteral("RCRooms");
}

QStandardItem *HRCRoom::findParentItem(QStandardItemModel *model, const QString &) const
{
    if (!m_parent)
        return nullptr;
    QStandardItem *folder = HTreeItems::find(model, rcGroupsCategory(), root());
    if (!folder)
        return nullptr;
    for (int row = 0; row < folder->rowCount(); ++row) {
        QStandardItem *item = folder->child(row);
        if (item && HTreeItems::nodeOf(item) == m_parent)
            return item;
    }
    return nullptr;
}
