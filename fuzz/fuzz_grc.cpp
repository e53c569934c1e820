// Seeds: fuzz/corpus/grc/*
//
// Room-combine answers ("GRC <group>,[1,2][3,4]") as the device sends them,
// one per line, to the room-combine group of a small design, mixed with the
// user's clicks on rooms ("3"), choices of the combination being edited
// ("s1") and clicks that could not be sent ("u"). Whatever arrives, each room
// stays in one combination at most, of the group's own rooms.

#include "FuzzSupport.h"
#include "HRCGroup.h"
#include "HRCGroupInfo.h"
#include "HRoot.h"

#include <QSet>

namespace {

void checkState(const HRCGroup *group)
{
    const RCGroup state = group->state();
    QSet<int> seen;
    for (const RCCombo &combo : state.combos()) {
        for (const int room : combo.rooms()) {
            if (!state.hasRoom(room) || seen.contains(room))
                fuzz::violated("a room is combined twice or is not the group's", QString::number(room));
            seen.insert(room);
        }
    }
    state.command();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    HRoot root;
    root.loadDesign(fuzz::sourcePath(QStringLiteral("tests/data/panels/Partitions.kvp")));
    auto *group = qobject_cast<HRCGroup *>(root.findByCategory(QStringLiteral("RCGroups")));
    if (!group)
        fuzz::violated("the design has no room-combine group");

    const QStringList lines = QString::fromUtf8(fuzz::bytes(data, size)).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        bool isRoom = false;
        const int room = line.toInt(&isRoom);
        if (isRoom) {
            group->onRoomControlClicked(room);
        } else if (line.startsWith(QLatin1Char('s'))) {
            group->setSelectedCombo(line.mid(1).toInt());
        } else if (line == QLatin1String("u")) {
            group->undoClick();
        } else {
            group->pollCommand();
            group->takeReply(line);
            int number = 0;
            QList<QList<int>> combos;
            QString problem;
            HRCGroupInfo::parseAnswer(line, &number, &combos, &problem);
        }
        checkState(group);
        group->roomColor(room);
    }
    fuzz::settle();
    return 0;
}
