#include "HRCRoom.h"

#include "HRCGroup.h"
#include "HTreeItems.h"
#include "RCCombo.h"

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

HRCGroup *HRCRoom::group() const
{
    return qobject_cast<HRCGroup *>(m_parent);
}

void HRCRoom::setParentNode(HNode *node)
{
    if (HRCGroup *old = group()) {
        disconnect(old, nullptr, this, nullptr);
        disconnect(this, nullptr, old, nullptr);
    }
    HNode::setParentNode(node);
    HRCGroup *g = group();
    if (!g)
        return;
    connect(this, &HRCRoom::roomControlClicked, g, &HRCGroup::onRoomControlClicked);
    connect(g, &HNode::updateRoomColor, this, &HRCRoom::onUpdateRoomColor);
    connect(g, &HNode::sendMessage, this, &HRCRoom::onSendMessage);
    connect(g, &HNode::showErrorDialog, this, &HRCRoom::onShowErrorDialog);
    connect(g, &HNode::queryResponseReady, this, &HNode::queryResponseReady);
    connect(g, &HNode::updateComboColorList, this, &HNode::updateComboColorList);
}

bool HRCRoom::isAwaitingReply() const
{
    HRCGroup *g = group();
    return g && g->isAwaitingReply();
}

QString HRCRoom::pollCommand()
{
    HRCGroup *g = group();
    return g ? g->pollCommand() : QString();
}

void HRCRoom::takeReply(const QString &text)
{
    if (HRCGroup *g = group())
        g->takeReply(text);
}

QString HRCRoom::replyText() const
{
    HRCGroup *g = group();
    return g ? g->replyText() : QString();
}

QString HRCRoom::colour() const
{
    HRCGroup *g = group();
    return g ? g->roomColor(m_roomNumber) : RCCombo::noComboColor();
}

void HRCRoom::click()
{
    emit roomControlClicked(m_roomNumber);
}

void HRCRoom::onUpdateRoomColor(const QString &color, int roomID)
{
    if (roomID == m_roomNumber)
        emit updateRoomColor(color, roomID);
}

void HRCRoom::onSendMessage(const QString &message, int roomID)
{
    if (roomID == m_roomNumber)
        emit sendMessage(message, roomID);
}

void HRCRoom::onShowErrorDialog(const QString &message, int roomID)
{
    if (roomID == m_roomNumber)
        emit showErrorDialog(message, roomID);
}
