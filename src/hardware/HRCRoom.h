#pragma once

#include "HNode.h"

class HRCGroup;

// A room of a room-combine group. The tree shows it below its group's item.
// It relays between its widgets and its group: a click of its widget goes
// to the group, and of the group's answers it passes on only those for its
// own room number. Without a group it waits for nothing and takes no reply.
class HRCRoom : public HNode
{
    Q_OBJECT
public:
    HRCRoom();

    QString category() const override;
    // The item of the parent group in the root's RCGroups folder.
    QStandardItem *findParentItem(QStandardItemModel *model, const QString &text) const override;
    void setParentNode(HNode *node) override;

    bool isAwaitingReply() const override;
    QString pollCommand() override;
    void takeReply(const QString &text) override;
    QString replyText() const override;
    // The colour of the combination the room is in.
    QString colour() const override;

    HRCGroup *group() const;
    // The room's widget was clicked.
    void click();

signals:
    void roomControlClicked(int roomID);

public slots:
    void onUpdateRoomColor(const QString &color, int roomID);
    void onSendMessage(const QString &message, int roomID);
    void onShowErrorDialog(const QString &message, int roomID);
};
