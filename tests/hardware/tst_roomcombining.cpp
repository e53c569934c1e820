#include "HChassis.h"
#include "HRCGroup.h"
#include "HRCGroupInfo.h"
#include "HRCRoom.h"
#include "HRoot.h"
#include "HardwareTestUtil.h"

#include <QSignalSpy>
#include <QThread>

using namespace hwtest;

namespace {
using Combos = QList<QList<int>>;

// A design with one room-combine group numbered 2: rooms 1 to 4 and the
// given number of combination slots, under the main processor.
struct Ballroom
{
    explicit Ballroom(int slotCount = 2, const QString &id = QStringLiteral("2"))
    {
        auto *main = new HChassis;
        root.addNode(main);
        group = new HRCGroup;
        group->setId(id);
        set(group, "comboCount", QString::number(slotCount));
        main->addNode(group);
        for (int room = 1; room <= 4; ++room)
            group->parseTarget(attributes({{"targetID", QString::number(200 + room)},
                                           {"roomNumber", QString::number(room)},
                                           {"roomName", "Hall " + QString(QChar('A' + room - 1))}}), false);
        group->finishLoading();
    }

    HRCGroupInfo *info() { return root.rcGroupInfo(); }
    HRCRoom *room(int number) { return qobject_cast<HRCRoom *>(group->room(number)); }
    Combos combos()
    {
        Combos rooms;
        const RCGroup state = group->state();
        for (const RCCombo &combo : state.combos())
            rooms.append(combo.rooms());
        return rooms;
    }
    // Makes the state by answers and clicks: a number is a click on that room, "s<n>" selects slot n, "?" polls the
    // group, "<text" hands it a reply, anything else is an answer.
    void play(const QStringList &steps)
    {
        for (const QString &step : steps) {
            bool isRoom = false;
            const int room = step.toInt(&isRoom);
            if (isRoom)
                group->onRoomControlClicked(room);
            else if (step.startsWith('s'))
                group->setSelectedCombo(step.mid(1).toInt());
            else if (step == QLatin1String("?"))
                group->pollCommand();
            else if (step.startsWith('<'))
                group->takeReply(step.mid(1));
            else
                info()->applyAnswer(step);
        }
    }

    HRoot root;
    HRCGroup *group = nullptr;
};
} // namespace

class tst_RoomCombining : public QObject
{
    Q_OBJECT
private slots:
    // A state reached by steps, then an answer of the device if one is given; the last click of steps, if a command
    // is given, sent it, and was refused if the command is empty.
    void states_data()
    {
        columns<QStringList, QString, bool, Combos, QString>("steps", "answer", "applied", "after", "command");
        const auto answer = [](const char *name, const QStringList &before, const QString &text, bool applied,
                               const Combos &after) {
            QTest::newRow(name) << before << text << applied << after << QString();
        };
        const QStringList pairs{"GRC 2,[1,2][3,4]"};
        const Combos kept{{1, 2}, {3, 4}};
        answer("two pairs", {}, "GRC 2,[1,2][3,4]", true, kept);
        answer("line end dropped", {}, "GRC 2,[1,3]\r", true, {{1, 3}, {}});
        answer("no bracket dissolves", pairs, "GRC 2,", true, {{}, {}});
        answer("listed the other way round keeps the slots", pairs, "GRC 2,[3,4][1,2]", true, kept);
        answer("a joining room keeps the slot", pairs, "GRC 2,[1,2,3]", true, {{1, 2, 3}, {}});
        answer("a room built alone survives", {"s1", "3"}, "GRC 2,[1,2]", true, {{1, 2}, {3}});
        answer("a room built alone joins what the device reports", {"s1", "3"}, "GRC 2,[3,4]", true, {{}, {3, 4}});
        answer("group in decimal with zero", {}, "GRC 02,[1,2]", true, {{1, 2}, {}});
        answer("no comma", pairs, "GRC 2[1,2]", false, kept);
        answer("group 0", pairs, "GRC 0,[1,2]", false, kept);
        answer("unknown group", pairs, "GRC 5,[1,2]", false, kept);
        answer("three fields", pairs, "GRC 2 3,[1,2]", false, kept);
        answer("another word", pairs, "SRC 2,[1,2]", false, kept);
        answer("unclosed", pairs, "GRC 2,[1,2][3,4", false, kept);
        answer("closed twice", pairs, "GRC 2,[1,2]]", false, kept);
        answer("junk after", pairs, "GRC 2,[1,2]x", false, kept);
        answer("room not a number", pairs, "GRC 2,[1,x]", false, kept);
        answer("empty room", pairs, "GRC 2,[1,]", false, kept);
        answer("negative room", pairs, "GRC 2,[-1,2]", false, kept);
        answer("room outside the group", pairs, "GRC 2,[1,9]", false, kept);
        answer("room twice", pairs, "GRC 2,[1,2][2,3]", false, kept);
        answer("a megabyte", pairs, "GRC 2," + QString("[1,2]").repeated(200000), false, kept);
        // A single room and two rooms joining are shown over loopback by the panel tests.
        const auto click = [](const char *name, const QStringList &steps, const char *command, const Combos &after) {
            QTest::newRow(name) << steps << QString() << false << after << QString(command);
        };
        click("clicked again it leaves", {"1", "2", "3", "3"}, "SRC 2,[1,2]\r", {{1, 2}, {}});
        click("it moves to the selected combination", {"GRC 2,[1,2][3,4]", "s1", "1"}, "SRC 2,[3,4,1]\r",
              {{2}, {3, 4, 1}});
        click("a combination left alone is not sent", {"GRC 2,[1,2][3,4]", "s1", "3"}, "SRC 2,[1,2]\r",
              {{1, 2}, {4}});
        click("a click with a negative selection is refused", {"GRC 2,[1,2]", "s-1", "3"}, "", {{1, 2}, {}});
        click("a click on a room of another group is refused", {"GRC 2,[1,2]", "s0", "7"}, "", {{1, 2}, {}});
        // An answer asked for before a click still tells no combination; later answers are the device's word again.
        const QStringList asked{"?", "1", "2", "<GRC 2,"};
        QTest::newRow("asked before the clicks") << asked << QString() << false << Combos{{1, 2}, {}} << QString();
        QTest::newRow("asked after the clicks")
            << asked + QStringList{"?", "<GRC 2,[1,2]"} << QString() << false << Combos{{1, 2}, {}} << QString();
        QTest::newRow("asked later")
            << asked + QStringList{"?", "<GRC 2,[1,2]", "?", "<GRC 2,"} << QString() << false << Combos{{}, {}}
            << QString();
    }
    void states()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, answer);
        QFETCH(QString, command);
        Ballroom hall;
        QSignalSpy sent(hall.group, &HNode::sendMessage);
        QSignalSpy colour(hall.group, &HNode::updateRoomColor);
        QSignalSpy error(hall.group, &HNode::showErrorDialog);
        hall.play(steps);
        QSignalSpy changed(hall.group, &HNode::updateComboColorList);
        QFETCH(bool, applied);
        if (!answer.isNull())
            QCOMPARE(hall.info()->applyAnswer(answer), applied);
        QCOMPARE(changed.count(), applied ? 1 : 0);
        QTEST(hall.combos(), "after");
        if (command.isNull())
            return;
        const int room = steps.last().toInt();
        QCOMPARE(error.count(), command.isEmpty() ? 1 : 0);
        if (command.isEmpty()) {
            // Refused: nothing is sent, and the one error names the room.
            const QString text = error.first().at(0).toString();
            QVERIFY(sent.isEmpty() && !text.isEmpty() && !text.startsWith("FAILURE::"));
            QCOMPARE(error.first().at(1).toInt(), room);
            return;
        }
        QVERIFY(!sent.isEmpty() && colour.count() == sent.count());
        QCOMPARE(sent.last().at(0).toString(), command);
        QCOMPARE(sent.last().at(1).toInt(), room);
        const int slot = hall.group->state().comboOf(room);
        QCOMPARE(colour.last().at(0).toString(), slot < 0 ? QString("lightgray") : slot == 0 ? "crimson" : "orange");
    }

    void colourTable()
    {
        Ballroom hall(10);
        const QStringList expected{"crimson", "orange", "yellow", "lime",    "skyblue",
                                   "cyan",    "orchid", "sienna", "crimson", "orange"};
        const RCGroup state = hall.group->state();
        for (int slot = 0; slot < expected.size(); ++slot)
            QCOMPARE(state.combos().at(slot).color(), expected.at(slot));
        QCOMPARE(hall.room(1)->colour(), QStringLiteral("lightgray"));
        hall.play({"GRC 2,[1,2]"});
        QCOMPARE(hall.room(2)->colour(), QStringLiteral("crimson"));
        HRCRoom orphan;
        orphan.setRoomNumber(1);
        QCOMPARE(orphan.colour(), QStringLiteral("lightgray"));
        // An answer with more combinations than slots keeps the first ones.
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^RCGroup::setCombos: Combo count mismatch; too many new combos "));
        Ballroom one(1);
        QVERIFY(one.info()->applyAnswer("GRC 2,[1,2][3,4]"));
        QCOMPARE(one.combos(), (Combos{{1, 2}}));
    }

    // Who asks, for which group, and that the answer reaches the group once; that a group is asked at most once an
    // answer period the panel tests show over loopback.
    void pollsAndTheirAnswers()
    {
        Ballroom hall(2, "02");
        HRCRoom *room = hall.room(3);
        QVERIFY(!room->isAwaitingReply());
        QSignalSpy ready(room, &HNode::queryResponseReady);
        QCOMPARE(room->pollCommand(), QStringLiteral("GRC 2\r"));
        QVERIFY(hall.group->isAwaitingReply() && room->isAwaitingReply());
        // The protocol hands the line to each control that waits for it.
        for (HNode *control : std::initializer_list<HNode *>{room, hall.room(2), hall.group})
            control->takeReply("GRC 2,[1,2]");
        QCOMPARE(ready.count(), 1);
        QCOMPARE(hall.group->replyText(), QStringLiteral("GRC 2,[1,2]"));
        QCOMPARE(hall.combos(), (Combos{{1, 2}, {}}));
        Ballroom unnumbered(2, "east");
        QVERIFY(unnumbered.group->pollCommand().isEmpty() && !unnumbered.group->isAwaitingReply());
        HRCRoom orphan;
        QVERIFY(!orphan.isAwaitingReply() && orphan.pollCommand().isEmpty());
        orphan.takeReply("GRC 2,[1,2]");
        QCOMPARE(orphan.replyText(), QString());
    }

    void noSignalUnderTheLock()
    {
        Ballroom hall;
        HRCGroupInfo *info = hall.info();
        // A reader on another thread gets the model at once while the
        // signals are handled; with the write lock still held it would wait.
        int blocked = 0;
        QList<QThread *> readers;
        const auto check = [&] {
            QThread *reader = QThread::create([info] { info->group(2); });
            readers.append(reader);
            reader->start();
            blocked += reader->wait(2000) ? 0 : 1;
        };
        connect(hall.group, &HNode::updateComboColorList, this, check);
        connect(hall.group, &HNode::sendMessage, this, check);
        hall.play({"GRC 2,[1,2]", "3"});
        // A reader that was kept waiting gets the lock once the signal is done.
        for (QThread *reader : readers) {
            reader->wait();
            delete reader;
        }
        QCOMPARE((QList<int>{int(readers.size()), blocked}), (QList<int>{3, 0}));
    }

    void designRegistersItsGroups()
    {
        HRoot root;
        QVERIFY(root.loadDesign(KVR_TEST_DATA "/designs/harbour_hotel.kvp"));
        HRCGroupInfo *info = root.rcGroupInfo();
        QVERIFY(info->contains(1) && !info->contains(7));
        QVERIFY(info->applyAnswer("GRC 1,[1,3]"));
        QCOMPARE(info->group(1).combos().at(0).rooms(), (QList<int>{1, 3}));
        QCOMPARE(info->group(1).roomName(3), QStringLiteral("Room 3"));
        QVERIFY(!info->applyAnswer("GRC 1,[1,4]"));
        root.clearDesign();
        QVERIFY(!info->contains(1));
    }
};

QTEST_MAIN(tst_RoomCombining)
#include "tst_roomcombining.moc"
