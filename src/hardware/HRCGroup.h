#pragma once

#include "HComposite.h"
#include "RCGroup.h"

#include <QPointer>
#include <QTimer>

class HRCGroupInfo;

// A room-combine group of the project: rooms whose partitions can open, so
// that they join into combinations. The group hangs under the project's main
// processor and holds one room node per room of its assignment. The tree
// shows it in the root's RCGroups folder with its rooms below it.
//
// Online, the group asks the device for its combinations ("GRC n") through
// the pass-through transforms of its controls and its rooms' controls, at
// most once per answer period, and reads the answers into the design's live
// model (HRCGroupInfo), where it registers itself once it is in a tree.
class HRCGroup : public HComposite
{
    Q_OBJECT
public:
    // A query waits this long for its answer before the next may go out.
    static constexpr int AnswerTimeMs = 997;

    HRCGroup();
    ~HRCGroup() override;

    // The group a room-combine control works on: the node itself, or the
    // group of a room; null for any other node.
    static HRCGroup *of(HNode *node);

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
    bool finishLoading() override;
    void setParentNode(HNode *node) override;
    // The group's own item and parameters, then its rooms below it.
    void buildModel(QStandardItemModel *model) override;

    // Polling through the pass-through transforms.
    bool isAwaitingReply() const override;
    // "GRC <group number>\r", starting the answer period; empty for a group
    // without a number.
    QString pollCommand() override;
    void takeReply(const QString &text) override;
    QString replyText() const override;

    // The group number that device commands carry: the design id as a
    // decimal number, 0 when it is none.
    int groupNumber() const;
    // How many combinations the group can hold at once.
    int comboCount() const { return m_comboCount; }
    // The room node of that room number; null if the group has none.
    HNode *room(int roomNumber) const;

    // The combination that clicks on rooms edit (the combination selector
    // chooses it).
    int selectedCombo() const { return m_selectedCombo; }
    void setSelectedCombo(int index);

    // The live state, read from the model; empty while the group is in no
    // tree with a model.
    RCGroup state() const;
    QString roomColor(int roomNumber) const;
    // The last click could not be sent: its change is taken back, so that
    // the panel does not show what the device was not told.
    void undoClick();

public slots:
    // The widget of a room was clicked: the room changes its combination,
    // its widget shows the new colour and the command goes to the device;
    // or, when no command can be built, the room's widget shows why.
    void onRoomControlClicked(int roomID);

signals:
    void selectedComboChanged(int index);

private slots:
    void onCombosChanged(int group);

private:
    // The design's live model, which the group enters once it is in a tree
    // that keeps one.
    HRCGroupInfo *model() const;
    QList<RoomInfo> roomInfos() const;
    // The rooms, the slot count or the tree changed: the model learns them.
    void updateRegistration();

    int m_comboCount = 0;
    int m_selectedCombo = 0;
    QTimer m_answerTimer;
    QString m_lastReply;
    // An answer is owed for a query handed out in the current period.
    bool m_answerOwed = false;
    // A click came while an answer was owed: that answer tells the state
    // from before the click and is passed over.
    bool m_answerStale = false;
    // The protocol hands one line to every control waiting for it; the
    // same line within one exchange is read once.
    quint64 m_exchange = 0;
    quint64 m_handledExchange = 0;
    QString m_handledLine;
    RCGroup m_beforeClick;
    mutable QPointer<HRCGroupInfo> m_model;
    mutable bool m_registered = false;
};
