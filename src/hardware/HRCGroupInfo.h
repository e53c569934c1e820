#pragma once

#include "HNode.h"
#include "RCGroup.h"

#include <QMap>
#include <QReadWriteLock>

// Keeps the live room-combine model of a design: one RCGroup per group
// number. The device's answers and the user's clicks change it; the panel's
// widgets read it. A read-write lock guards it, and no signal leaves while
// the lock is held, so a slot may read the model again at once.
class HRCGroupInfo : public HNode
{
    Q_OBJECT
public:
    // Answers longer than this are no answer a group could give.
    static constexpr int MaxAnswerLength = 16384;

    HRCGroupInfo();
    ~HRCGroupInfo() override;

    QString category() const override;

    // Enters (or updates) the group of that number for owner; its
    // combinations are kept as far as the new rooms and slots allow. False
    // when the number is not positive or another owner holds it.
    bool registerGroup(const QObject *owner, int number, int slotCount, const QList<RoomInfo> &rooms);
    void unregisterGroup(const QObject *owner);
    bool contains(int number) const;

    // Reads a "GRC <group>,[a,b][c,d]" answer: the group named in it takes
    // the combinations. False, with a debug line and nothing changed, when
    // the answer is malformed, names no registered group or a room outside
    // it, or names a room twice.
    bool applyAnswer(const QString &answer);
    // The answer's group number and combinations (empty brackets dropped);
    // false, with the reason in problem, when the text is not of that form.
    static bool parseAnswer(const QString &answer, int *group, QList<QList<int>> *combos,
                            QString *problem);

    // The user clicked room of group with the slot selected for editing;
    // the command for the device or RCGroup::FailurePrefix and the reason.
    QString click(int group, int room, int selectedSlot);

    // Puts back the combinations of a copy taken earlier (a change the
    // device was never told of is taken back).
    void restore(const RCGroup &state);

    // A copy of the group's state; an empty group when it is not registered.
    RCGroup group(int number) const;
    QString roomColor(int group, int room) const;

signals:
    // The combinations of the group changed.
    void combosChanged(int group);

private:
    mutable QReadWriteLock m_lock;
    QMap<int, RCGroup> m_groups;
    QMap<int, const QObject *> m_owners;
};
