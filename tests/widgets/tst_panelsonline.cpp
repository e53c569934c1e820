#include "../ModelScene.h"
#include "../SimStation.h"
#include "../hardware/HardwareTestUtil.h"
#include "HChassis.h"
#include "HRCGroup.h"
#include "HRCRoom.h"
#include "HRoot.h"
#include "MQmlInterface.h"
#include "PKVDProtocol.h"
#include "TPassThrough.h"
#include "WActiveCombo.h"
#include "WButton.h"
#include "WComboSelection.h"
#include "WDelegate.h"
#include "WDropList.h"
#include "WRegion.h"
#include "WRoomSelection.h"
#include "WSlider.h"
#include "WTextEdit.h"

namespace {
using simtest::Timeout;

// A control of the room-combine group polling through the protocol, as the panel's walk polls it.
struct RoomControl
{
    RoomControl(HNode *node) : control(QStringLiteral("Control of ") + node->label())
    {
        attributes.setStructure(9);
        attributes.setOwner(&control);
        transform.setOwnerAttributes(&attributes);
        transform.setNode(node);
        transform.setPollDivider(1);
        transform.addUser();
    }
    CControl control;
    CAttributes attributes;
    TPassThrough transform;
};
} // namespace

// Fixture panels as the program shows them, online against a simulated device that another station on its network also
// sets and asks. With KVR_SCREENSHOT_DIR set, the tests leave their pictures there.
class tst_PanelsOnline : public QObject
{
    Q_OBJECT
    ModelScene scene;
    std::unique_ptr<simtest::LoggedSim> sim;
    std::unique_ptr<simtest::OtherStation> other;
    QList<QByteArray> received; // the commands the device took, byte for byte

    bool open(const QString &stem, const Replacements &more = {})
    {
        sim = std::make_unique<simtest::LoggedSim>();
        connect(sim->device.get(), &SimDevice::commandReceived, this,
                [this](int, const QByteArray &bytes) { received << bytes; });
        other = std::make_unique<simtest::OtherStation>(sim->port());
        return sim->ready && other->connected
               && scene.openPacked(panelAndDesign(KVR_TEST_DATA "/panels/" + stem),
                                   Replacements{simtest::onPort(sim->port())} + more);
    }
    void goOnline()
    {
        scene.model->setOnline(true);
        scene.model->rebuildInterfaces();
        scene.model->startStateRequests();
    }
    static QStringList colours(const QList<WRoomSelection *> &rooms)
    {
        QStringList names;
        for (WRoomSelection *room : rooms)
            names.append(room->itemProperty("roomColor").value<QColor>().name());
        return names;
    }

private slots:
    void initTestCase() { QVERIFY(scene.setUp() && scene.show()); }
    void cleanup()
    {
        scene.model->setOnline(false);
        scene.model->closeDocument();
        other.reset();
        sim.reset();
        received.clear();
    }

    // What a press sends arrives as the command the device expects, and what the device reports shows in the buttons.
    void buttons_data()
    {
        QTest::addColumn<QString>("skin");
        QTest::newRow("Light") << "Light";
        QTest::newRow("Dark") << "Dark";
    }
    void buttons()
    {
        QFETCH(QString, skin);
        QVERIFY(open("Buttons", {{"<skin>Light</skin>", "<skin>" + skin.toUtf8() + "</skin>"}}));
        WButton *lectern = scene.widget<WButton>("Mute", "Lectern");
        WButton *wireless = scene.widget<WButton>("Mute", "Wireless");
        WButton *lamp1 = scene.widget<WButton>("Channel 1");
        WButton *lamp2 = scene.widget<WButton>("Channel 2");
        WButton *gpi = scene.widget<WButton>("Control 1");
        WButton *status = scene.widget<WButton>("Connection Indicator");
        QVERIFY(lectern && wireless && lamp1 && lamp2 && gpi && status);
        QCOMPARE(scene.widget<WButton>("Mic 2 Mute")->itemProperty("onText").toString(), "Podium UNMUTE");
        const QImage offline = scene.view->grabWindow();
        scene.keep(offline, "buttons-" + skin.toLower() + "-offline.png");
        QVERIFY(!wireless->isChecked() && !status->isChecked());
        // What the other station set before the panel went online.
        for (const char *command : {"SA \"Wireless\">2=O", "SA \"Ceiling\">2=O", "SA \"Ballroom Mics\">3>2=O",
                                    "SA \"Partition Toggle\">2>1=1", "SA \"Partition Toggle\">2>3=1",
                                    "SA \"Occupancy Lamps\">1>1=1"})
            QCOMPARE(other->ask(command), QByteArray("\x06"));
        goOnline();
        QTRY_VERIFY_WITH_TIMEOUT(status->isChecked() && wireless->isChecked() && lamp1->isChecked(), Timeout);
        QVERIFY(!lamp2->isChecked() && !lectern->isChecked());
        // A sequence key sends its second value on release.
        scene.click(lectern->item());
        scene.click(gpi->item());
        QTRY_VERIFY_WITH_TIMEOUT(sim->logged().contains("< SA \"Wall Panel\">1>1=0\n"), Timeout);
        const QByteArray sent = sim->logged();
        QCOMPARE((QList<qsizetype>{sent.count("< SA \"Lectern\">2=O\n"), sent.count("< SA \"Wall Panel\">1>1=1\n"),
                                   sent.count("< SA \"Lectern\"")}),
                 (QList<qsizetype>{1, 1, 1}));
        QVERIFY(lectern->isChecked());
        // The device changes under the panel; nothing it reported is sent back: the three sets are the other station's.
        QCOMPARE(other->ask("SA \"Wireless\">2=F"), QByteArray("\x06"));
        QTRY_VERIFY_WITH_TIMEOUT(!wireless->isChecked(), Timeout);
        QCOMPARE(other->ask("SA \"Wireless\">2=O"), QByteArray("\x06"));
        QTRY_VERIFY_WITH_TIMEOUT(wireless->isChecked(), Timeout);
        QCOMPARE(sim->logged().count("< SA \"Wireless\""), 3);
        // The shown state is drawn.
        QTRY_VERIFY_WITH_TIMEOUT(!lectern->isHeldOff(), Timeout);
        const QImage online = scene.view->grabWindow();
        QVERIFY(online != offline);
        scene.keep(online, "buttons-" + skin.toLower() + "-online.png");
    }

    // A move puts one command on the wire, and a change made by another client moves the fader and its number field.
    void fader()
    {
        QVERIFY(open("Links"));
        auto *fader = scene.widget<WSlider>("Lectern Level");
        auto *field = scene.widget<WTextEdit>("Lectern Level");
        QVERIFY(fader && field);
        goOnline();
        QTRY_VERIFY_WITH_TIMEOUT(fader->hasValue() && !fader->isHoldingReports(), Timeout);
        received.clear();
        widgettest::userMoves(fader, -21);
        widgettest::userMoves(fader, -20);
        QTRY_VERIFY_WITH_TIMEOUT(received.contains("SA \"Lectern\">1=-10.0\r"), Timeout);
        QCOMPARE(std::count_if(received.begin(), received.end(), [](const auto &b) { return b.startsWith("SA"); }), 1);
        QCOMPARE(field->itemProperty("text").toString(), "-10.0");
        QTRY_VERIFY_WITH_TIMEOUT(!fader->isHoldingReports(), Timeout);
        QCOMPARE(other->ask("SA \"Lectern\">1=-3.5"), QByteArray("\x06"));
        QTRY_COMPARE_WITH_TIMEOUT(widgettest::shown(fader), -7, Timeout);
        QCOMPARE(fader->current(), -3.5f);
        QCOMPARE(field->itemProperty("text").toString(), "-3.5");
        // Not sent back; moved back to the value it sent before, it sends again.
        widgettest::userMoves(fader, -20);
        QTRY_COMPARE_WITH_TIMEOUT(sim->logged().count("< SA \"Lectern\">1=-10.0\n"), 2, Timeout);
        QCOMPARE(sim->logged().count("< SA \"Lectern\">1="), 3);
    }

    void roomsAndLists()
    {
        QVERIFY(open("Partitions"));
        // As the window fits itself to the canvas of the file.
        QVERIFY(scene.show());
        QList<WRoomSelection *> rooms;
        for (const char *name : {"Hall A", "Hall B", "Hall C", "Terrace Room"})
            rooms.append(scene.widget<WRoomSelection>(name));
        auto *selector = scene.widget<WComboSelection>("Combination Selector");
        auto *active = scene.widget<WActiveCombo>("Active Combinations");
        QVERIFY(!rooms.contains(nullptr) && selector && active);
        QCOMPARE(selector->count(), 3);
        QCOMPARE(selector->comboColors(), (QStringList{"crimson", "orange", "yellow"}));
        // Combined at the device before the panel goes online.
        QCOMPARE(other->ask("SRC 1,[3,4]"), QByteArray("\x06"));
        goOnline();
        // The colours named lightgray, crimson and orange.
        const QString grey = "#d3d3d3", crimson = "#dc143c", orange = "#ffa500";
        QTRY_COMPARE_WITH_TIMEOUT(colours(rooms), (QStringList{grey, grey, crimson, crimson}), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(active->itemProperty("combos").toList().size(), 1, Timeout);
        scene.keep(scene.view->grabWindow(), "rooms-before-combining.png");
        // The second combination, then Hall A and Hall B: two taps, two commands, the second one joining them.
        scene.click(selector->item());
        QCOMPARE(selector->selectedIndex(), 1);
        scene.click(rooms.at(0)->item());
        scene.click(rooms.at(1)->item());
        QTRY_VERIFY_WITH_TIMEOUT(sim->logged().contains("< SRC 1,[3,4][1,2]\n"), Timeout);
        // The first of them, and the other station's.
        QCOMPARE((QList<qsizetype>{sim->logged().count("< SRC 1,[3,4]\n"), sim->logged().count("< SRC")}),
                 (QList<qsizetype>{2, 3}));
        QCOMPARE(other->ask("GRC 1"), QByteArray("GRC 1,[3,4][1,2]\r"));
        QTRY_COMPARE_WITH_TIMEOUT(colours(rooms), (QStringList{orange, orange, crimson, crimson}), Timeout);
        QVERIFY(rooms.at(0)->isSelected() && !rooms.at(2)->isSelected());
        const QVariantList lines = active->itemProperty("combos").toList();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(1).toMap(), (QVariantMap{{"text", "Hall A + Hall B"}, {"color", "orange"}}));
        scene.keep(scene.view->grabWindow(), "rooms-after-combining.png");
        // Changed at the device again: every room follows its answer.
        QCOMPARE(other->ask("SRC 1,[2,3]"), QByteArray("\x06"));
        QTRY_COMPARE_WITH_TIMEOUT(colours(rooms), (QStringList{grey, crimson, crimson, grey}), Timeout);
        // The list panel: a choice arrives as the device's command, and the device's value selects the entry.
        scene.model->showPage(1);
        auto *source = scene.widget<WDropList>("Source");
        auto *scenes = scene.widget<WDropList>("Scene");
        auto *music = scene.widget<WDropList>("Music");
        QVERIFY(source && scenes && music);
        QTRY_COMPARE_WITH_TIMEOUT(source->itemProperty("currentText").toString(), "Lectern", Timeout);
        QCOMPARE(scenes->texts(), (QStringList{"Banquet", "Conference", "Dance"}));
        source->listSelect(2);
        scenes->listSelect(1);
        music->listSelect(0);
        QTRY_VERIFY_WITH_TIMEOUT(sim->logged().contains("< SN 4,1\n"), Timeout);
        QVERIFY(sim->logged().contains("< SA \"Source Select\">1=2\n") && sim->logged().contains("< SS 2 \n"));
        QCOMPARE(other->ask("GA\"Source Select\">1"), QByteArray("GA\"Source Select\">1=2\r"));
        QTRY_VERIFY_WITH_TIMEOUT(!source->isHeldOff(), Timeout);
        QCOMPARE(other->ask("SA \"Source Select\">1=3"), QByteArray("\x06"));
        QTRY_COMPARE_WITH_TIMEOUT(source->itemProperty("currentText").toString(), "Player", Timeout);
        QCOMPARE(sim->logged().count("< SA \"Source Select\""), 2);
        scene.click(source->item());
        QTRY_VERIFY_WITH_TIMEOUT(source->popup() && source->popup()->property("opened").toBool(), Timeout);
        scene.keep(scene.view->grabWindow(), "lists-and-region.png");
        QMetaObject::invokeMethod(source->popup(), "close");
        QTRY_VERIFY_WITH_TIMEOUT(!source->popup(), Timeout);
    }

    void roomsOfflineErrorsAndSecondWidgets()
    {
        QVERIFY(scene.openPacked(panelAndDesign(KVR_TEST_DATA "/panels/Partitions"), {simtest::onPort(1)}));
        auto *hallA = scene.widget<WRoomSelection>("Hall A");
        auto *active = scene.widget<WActiveCombo>("Active Combinations");
        QVERIFY(hallA && active);
        HRCGroup *group = hallA->room()->group();
        const QString grey = "#d3d3d3", crimson = "#dc143c";
        // Offline the device cannot be told: the tap is taken back.
        QVERIFY(hallA->outputPressed(5, 5));
        QCOMPARE(group->state().comboOf(1), -1);
        QCOMPARE(colours({hallA}), QStringList{grey});
        // A second widget of the same room: only the one tapped sends.
        auto *second = widgettest::makeWidget<WRoomSelection>(
            WDelegate::instance()->factory(), "roomselector",
            {"width", "100", "height", "100", "polygon", "0,0 100,0 100,100 0,100"}, hallA->room());
        QVERIFY(second);
        second->setTransform(hallA->transform());
        widgettest::RecordingProtocol tapped, untapped;
        second->setProtocol(&tapped);
        hallA->setProtocol(&untapped);
        QVERIFY(second->outputPressed(50, 50));
        QCOMPARE((QList<QStringList>{tapped.sent, untapped.sent}), (QList<QStringList>{{"SRC 1,\r"}, {}}));
        QCOMPARE(colours({hallA, second}), (QStringList{crimson, crimson}));
        // Let go of its room, it follows it no more.
        second->detach();
        group->takeReply("GRC 1,[1,2]");
        QCOMPARE(colours({hallA, second}), (QStringList{crimson, crimson}));
        group->takeReply("GRC 1,[3,4]");
        QCOMPARE(colours({hallA, second}), (QStringList{grey, crimson}));
        delete second->item();
        // A combination that is none: the tapped room's dialog tells why.
        QSignalSpy warnings(scene.model, &MModel::warning);
        group->setSelectedCombo(7);
        QVERIFY(hallA->outputPressed(5, 5));
        QCOMPARE(warnings.count(), 1);
        QCOMPARE(warnings.first().at(0).toString() + ": " + warnings.first().at(1).toString().left(30),
                 "Room combining: Combination 8 cannot be edited");
        QVERIFY(untapped.sent.isEmpty());
        // Edited with nothing combined, the list shows where it is.
        group->takeReply("GRC 1,");
        QVERIFY(active->itemProperty("combos").toList().isEmpty());
        scene.view->qmlInterface()->setProperty("editModeEnable", true);
        QCOMPARE(active->itemProperty("combos").toList().size(), 1);
        scene.view->qmlInterface()->setProperty("editModeEnable", false);
        QVERIFY(active->itemProperty("combos").toList().isEmpty());
        // A region whose panel is not there says so and stays.
        scene.model->showPage(1);
        auto *toTerrace = scene.widget<WRegion>("To the terrace");
        QVERIFY(toTerrace);
        const QPointF terrace = toTerrace->vertexBounds().center();
        QVERIFY(toTerrace->outputPressed(terrace.x(), terrace.y()));
        QTRY_COMPARE_WITH_TIMEOUT(warnings.count(), 2, Timeout);
        QCOMPARE(warnings.last().at(1).toString(), "Error - No link has been defined for this region.\n\n"
                                                   "Please set a link using the properties panel.");
        QCOMPARE(scene.model->currentPanel()->name(), "Lists");
    }

    void atMostOneRoomQueryPerAnswerPeriod()
    {
        commtest::Online<PKVDProtocol> online(
            [](const QByteArray &line) { return line.startsWith("GRC") ? line + ",[1,2]\r" : QByteArray(); });
        HRoot root;
        auto *main = new HChassis;
        root.addNode(main);
        auto *group = new HRCGroup;
        group->setId("1");
        hwtest::set(group, "comboCount", "1");
        main->addNode(group);
        for (const char *number : {"1", "2"})
            group->parseTarget(hwtest::attributes({{"roomNumber", number}}), false);
        RoomControl a(group), b(group->room(1)), c(group->room(2));
        // The walk asks every control many times within one period.
        const auto walk = [&] {
            for (int round = 0; round < 10; ++round)
                for (RoomControl *control : {&a, &b, &c})
                    if (control->transform.pollDue())
                        online.protocol.poll(&control->transform);
        };
        walk();
        QTRY_COMPARE_WITH_TIMEOUT(group->replyText(), QStringLiteral("GRC 1,[1,2]"), Timeout);
        walk();
        QCOMPARE(online.peer.count("GRC 1\r"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!group->isAwaitingReply(), Timeout);
        walk();
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.count("GRC 1\r"), 2, Timeout);
    }
};

QTEST_MAIN(tst_PanelsOnline)
#include "tst_panelsonline.moc"
