#pragma once

#include "HComposite.h"

// A room-combine group of the project: rooms whose partitions can open, so
// that they join into combinations. The group hangs under the project's main
// processor and holds one room node per room of its assignment. The tree
// shows it in the root's RCGroups folder with its rooms below it.
class HRCGroup : public HComposite
{
    Q_OBJECT
public:
    HRCGroup();

    QString category() const override;
    QString templateFolder() const override;
    QStandardItem *findParentItem(QStandardItemModel *model, const QString &text) const override;
    HComposite *chooseParent(HComposite *mainChassis, HComposite *activeChassis) override;
    void parseProperty(const QXmlAttributes &atts) override;
    // One Assign of the group's assignment: a room, with its "roomNumber"
    // (1 or more), its "roomName" and, as "targetID", the node id of the
    // block that serves it. A room the group already holds is found again,
    // not added twice.
    void parseTarget(const QXmlAttributes &atts, bool mergeMode) override;
    // The group's own item and parameters, then its rooms below it.
    void buildModel(QStandardItemModel *model) override;

    // The group number that device commands carry: the design id as a
    // decimal number, 0 when it is none.
    int groupNumber() const;
    // How many combinations the group can hold at once.
    int comboCount() const { return m_comboCount; }
    // The room node of that room number; null if the group has none.
    HNode *room(int roomNumber) const;

private:
    int m_comboCount = 0;
};
