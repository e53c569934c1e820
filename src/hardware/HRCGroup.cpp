#include "HRCGroup.h"

#include "HProjectNode.h"
#include "HRCRoom.h"
#include "HTreeItems.h"
#include "KvrLogging.h"
#include "XmlHandler.h"

HRCGroup::HRCGroup()
{
    setTitle(QStringLiteral("RCGroup"));
    setTypenum(QStringLiteral("0"));
}

QString HRCGroup::category() const
{
    return rcGroupsCategory();
}

QString HRCGroup::templateFolder() const
{
    return QLatin1String(HProjectNode::TemplateFolder);
}

QStandardItem *HRCGroup::findParentItem(QStandardItemModel *model, const QString &text) const
{
    return HTreeItems::find(model, text, root());
}

HComposite *HRCGroup::chooseParent(HComposite *mainChassis, HComposite *)
{
    return mainChassis;
}

void HRCGroup::parseProperty(const QXmlAttributes &atts)
{
    if (XmlHandler::attributeValue(QStringLiteral("name"), atts) == QLatin1String("comboCount"))
        m_comboCount = qMax(0, XmlHandler::attributeValue(QStringLiteral("value"), atts).toInt());
    else
        HComposite::parseProperty(atts);
}

int HRCGroup::groupNumber() const
{
    return m_id.toInt();
}

HNode *HRCGroup::room(int roomNumber) const
{
    for (HNode *node : children()) {
        if (node->roomNumber() == roomNumber)
            return node;
    }
    return nullptr;
}

void HRCGroup::parseTarget(const QXmlAttributes &atts, bool)
{
    bool ok = false;
    const int number = XmlHandler::attributeValue(QStringLiteral("roomNumber"), atts).toInt(&ok);
    if (!ok || number < 1) {
        qCDebug(lcHardware).noquote() << "Room-combine group" << m_id
                                      << "ignores an assignment without a room number";
        return;
    }
    HNode *node = room(number);
    if (!node) {
        QString name = XmlHandler::attributeValue(QStringLiteral("roomName"), atts);
        if (name.isEmpty() || name == QLatin1String("None"))
            name = tr("Room %1").arg(number);
        auto *created = new HRCRoom;
        created->setRoomNumber(number);
        created->setLabel(name);
        created->setNodeID(XmlHandler::attributeValue(QStringLiteral("targetID"), atts).toInt());
        addNode(created);
        node = created;
    }
    node->setFlag(Removable, false);
    node->setFlag(InDesign);
}

void HRCGroup::buildModel(QStandardItemModel *model)
{
    HNode::buildModel(model);
    HComposite::buildModel(model);
}
