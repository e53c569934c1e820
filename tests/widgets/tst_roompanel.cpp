#include "../ModelScene.h"
#include "../comm/CommTestUtil.h"
#include "../hardware/HardwareTestUtil.h"
#include "CComposite.h"
#include "HChassis.h"
#include "HRCGroup.h"
#include "HRCRoom.h"
#include "HRoot.h"
#include "MQmlInterface.h"
#include "PKVDProtocol.h"
#include "TPassThrough.h"
#include "UArchive.h"
#include "WActiveCombo.h"
#include "WDelegate.h"
#include "WWidgetFactory.h"
#include "WComboSelection.h"
#include "WDropList.h"
#include "WRoomSelection.h"

#include <QColor>
#include <QSignalSpy>
#include <QQuickItem>
#include <QTemporaryDir>

namespace {
constexpr int Timeout = 8000;

// The divisible ballroom and its design, packed as an archive whose device
// listens on port.
QString partitionsArchive(const QString &folder, quint16 port)
{
    UArchive archive;
    for (const QString name : {"Partitions.cpf", "Partitions.kvp"}) {
        QFile in(QStringLiteral(KVR_TEST_DATA "/panels/") + name);
        if (!in.open(QIODevice::ReadOnly))
            return QString();
        QByteArray data = in.readAll();
        data.replace("10055", QByteArray::number(port));
        const QString copy = folder + QLatin1Char('/') + name;
        QFile out(copy);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
            return QString();
        out.close();
        archive.addFile(copy);
    }
    const QString path = folder + QStringLiteral("/Partitions.cpz");
    return archive.write(path) ? path : QString();
}

// Another station on the device's network, asking and setting.
struct OtherStation
{
    explicit OtherStation(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(Timeout);
    }
    QByteArray ask(const QByteArray &command)
    {
        socket.readAll();
        socket.write(command + '\r');
        QByteArray answer;
        QTest::qWaitFor([&] {
            answer += socket.readAll();
            // A set is answered by ACK (or NAK) alone.
            return answer.endsWith('\r') || answer == "\x06" || answer == "\x15";
        }, Timeout);
        return answer;
    }
    QTcpSocket socket;
};

// A protocol that takes what a widget sends, as an online device would.
class Recorder : public PProtocol
{
public:
    bool sendValue(TTransform *transform) override
    {
        sent.append(transform->valueText());
        return true;
    }
    QStringList sent;
};

// A control of the room-combine group polling through the protocol, as the
// panel's walk polls it.
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

// The divisible-room panel and the list panel as the program shows them,
// online against a simulated device. With KVR_SCREENSHOT_DIR set, the test
// leaves its pictures of the panels there.
class tst_RoomPanel : public QObject
{
    Q_OBJECT
private:
    ModelScene scene;

    template <class W>
    W *widget(const QString &controlName) const
    {
        CControl *control = scene.model->currentPanel()->child(controlName);
        for (WWidget *w : control ? control->widgets() : QList<WWidget *>()) {
            if (auto *typed = qobject_cast<W *>(w))
                return typed;
        }
        return nullptr;
    }
    QPoint centreOf(const WWidget *w) const
    {
        const QQuickItem *item = w->item();
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }
    void keep(const QImage &image, const QString &name) const
    {
        const QString folder = qEnvironmentVariable("KVR_SCREENSHOT_DIR");
        if (!folder.isEmpty())
            QVERIFY(image.save(folder + QLatin1Char('/') + name));
    }
    static QByteArray logged(const QString &path)
    {
        QFile log(path);
        log.open(QIODevice::ReadOnly);
        return log.readAll();
    }
    // The rooms' colours, in panel order.
    QStringList colours(const QList<WRoomSelection *> &rooms) const
    {
        QStringList names;
        for (WRoomSelection *room : rooms)
            names.append(room->itemProperty("roomColor").value<QColor>().name());
        return names;
    }
    static QString hex(const char *name) { return QColor(QString::fromLatin1(name)).name(); }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        scene.view->resize(scene.canvas.width(), scene.canvas.height());
        scene.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(scene.view));
    }

    void atMostOneQueryPerAnswerPeriod()
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
            for (int round = 0; round < 10; ++round) {
                for (RoomControl *control : {&a, &b, &c}) {
                    if (control->transform.pollDue())
                        online.protocol.poll(&control->transform);
                }
            }
        };
        walk();
        QTRY_COMPARE_WITH_TIMEOUT(group->replyText(), QStringLiteral("GRC 1,[1,2]"), Timeout);
        walk();
        QCOMPARE(online.peer.count("GRC 1\r"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!group->isAwaitingReply(), Timeout);
        walk();
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.count("GRC 1\r"), 2, Timeout);
    }

    void offlineTapsErrorsAndSecondWidgets()
    {
        QTemporaryDir dir;
        MModel *model = scene.model;
        QVERIFY(model->openFile(partitionsArchive(dir.path(), 1)));
        auto *hallA = widget<WRoomSelection>("Hall A");
        auto *active = widget<WActiveCombo>("Active Combinations");
        QVERIFY(hallA && active);
        HRCGroup *group = hallA->room()->group();
        const QString grey = hex("lightgray");

        // Offline the device cannot be told: the tap is taken back.
        QVERIFY(hallA->outputPressed(5, 5));
        QCOMPARE(group->state().comboOf(1), -1);
        QCOMPARE(colours({hallA}), QStringList{grey});

        // A second widget of the same room: only the one tapped sends.
        auto *second = qobject_cast<WRoomSelection *>(WDelegate::instance()->factory()->createWidget("roomselector"));
        QVERIFY(second);
        second->processProperty("width", "100");
        second->processProperty("height", "100");
        second->processProperty("polygon", "0,0 100,0 100,100 0,100");
        second->setNode(hallA->room());
        second->setTransform(hallA->transform());
        Recorder tapped, other;
        second->setProtocol(&tapped);
        hallA->setProtocol(&other);
        QVERIFY(second->outputPressed(50, 50));
        QCOMPARE(tapped.sent, QStringList{"SRC 1,\r"});
        QVERIFY(other.sent.isEmpty());
        QCOMPARE(colours({hallA, second}), (QStringList{hex("crimson"), hex("crimson")}));

        // Let go of its room, it follows it no more.
        second->detach();
        group->takeReply("GRC 1,[1,2]");
        QCOMPARE(colours({hallA, second}), (QStringList{hex("crimson"), hex("crimson")}));
        group->takeReply("GRC 1,[3,4]");
        QCOMPARE(colours({hallA, second}), (QStringList{grey, hex("crimson")}));
        delete second->item();

        // A combination that is none: the tapped room's dialog tells why.
        QSignalSpy warnings(model, &MModel::warning);
        group->setSelectedCombo(7);
        QVERIFY(hallA->outputPressed(5, 5));
        QCOMPARE(warnings.count(), 1);
        QCOMPARE(warnings.first().at(0).toString(), QStringLiteral("Room combining"));
        QVERIFY(warnings.first().at(1).toString().startsWith("Combination 8 cannot be edited"));
        QVERIFY(other.sent.isEmpty());

        // Edited with nothing combined, the list shows where it is.
        group->takeReply("GRC 1,");
        QVERIFY(active->itemProperty("combos").toList().isEmpty());
        scene.view->qmlInterface()->setProperty("editModeEnable", true);
        QCOMPARE(active->itemProperty("combos").toList().size(), 1);
        scene.view->qmlInterface()->setProperty("editModeEnable", false);
        QVERIFY(active->itemProperty("combos").toList().isEmpty());
        model->closeDocument();
    }

    void roomsAndListsOnline()
    {
        commtest::SimPeer sim;
        QVERIFY(sim.listening);
        QTemporaryDir dir;
        QString error;
        const QString log = dir.filePath("device.log");
        QVERIFY2(sim.log.openFile(log, &error), qPrintable(error));
        const QString archive = partitionsArchive(dir.path(), sim.port());
        QVERIFY(!archive.isEmpty());
        MModel *model = scene.model;
        QVERIFY(model->openFile(archive));
        // As the window fits itself to the canvas of the file.
        scene.view->resize(scene.canvas.width(), scene.canvas.height());
        QList<WRoomSelection *> rooms;
        for (const char *name : {"Hall A", "Hall B", "Hall C", "Terrace Room"})
            rooms.append(widget<WRoomSelection>(name));
        auto *selector = widget<WComboSelection>("Combination Selector");
        auto *active = widget<WActiveCombo>("Active Combinations");
        QVERIFY(!rooms.contains(nullptr) && selector && active);
        QCOMPARE(selector->count(), 3);
        QCOMPARE(selector->comboColors(), (QStringList{"crimson", "orange", "yellow"}));

        // Combined at the device before the panel goes online.
        OtherStation other(sim.port());
        QCOMPARE(other.ask("SRC 1,[3,4]"), QByteArray("\x06"));
        model->setOnline(true);
        model->rebuildInterfaces();
        model->startStateRequests();
        const QString grey = hex("lightgray");
        const QString crimson = hex("crimson");
        const QString orange = hex("orange");
        QTRY_COMPARE_WITH_TIMEOUT(colours(rooms), (QStringList{grey, grey, crimson, crimson}), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(active->itemProperty("combos").toList().size(), 1, Timeout);
        keep(scene.view->grabWindow(), "rooms-before-combining.png");

        // The second combination, then Hall A and Hall B: two taps, two
        // commands, the second one joining them.
        QTest::mouseClick(scene.view, Qt::LeftButton, {},
                          selector->item()->mapToScene(QPointF(selector->item()->width() / 2,
                                                               selector->item()->height() / 2)).toPoint());
        QCOMPARE(selector->selectedIndex(), 1);
        QTest::mouseClick(scene.view, Qt::LeftButton, {}, centreOf(rooms.at(0)));
        QTest::mouseClick(scene.view, Qt::LeftButton, {}, centreOf(rooms.at(1)));
        QTRY_VERIFY_WITH_TIMEOUT(logged(log).contains("< SRC 1,[3,4][1,2]\n"), Timeout);
        // The first of them, and the other station's.
        QCOMPARE(logged(log).count("< SRC 1,[3,4]\n"), 2);
        QCOMPARE(logged(log).count("< SRC"), 3);
        QCOMPARE(other.ask("GRC 1"), QByteArray("GRC 1,[3,4][1,2]\r"));
        QTRY_COMPARE_WITH_TIMEOUT(colours(rooms), (QStringList{orange, orange, crimson, crimson}), Timeout);
        QVERIFY(rooms.at(0)->isSelected() && !rooms.at(2)->isSelected());
        const QVariantList lines = active->itemProperty("combos").toList();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(1).toMap().value("text").toString(), QStringLiteral("Hall A + Hall B"));
        QCOMPARE(lines.at(1).toMap().value("color").toString(), QStringLiteral("orange"));
        keep(scene.view->grabWindow(), "rooms-after-combining.png");

        // Changed at the device again: every room follows its answer.
        QCOMPARE(other.ask("SRC 1,[2,3]"), QByteArray("\x06"));
        QTRY_COMPARE_WITH_TIMEOUT(colours(rooms), (QStringList{grey, crimson, crimson, grey}), Timeout);

        // The list panel: a choice arrives as the device's command, and the
        // device's value selects the entry.
        model->showPage(1);
        auto *source = widget<WDropList>("Source");
        auto *scenes = widget<WDropList>("Scene");
        auto *music = widget<WDropList>("Music");
        QVERIFY(source && scenes && music);
        QTRY_COMPARE_WITH_TIMEOUT(source->itemProperty("currentText").toString(), QStringLiteral("Lectern"), Timeout);
        QCOMPARE(scenes->texts(), (QStringList{"Banquet", "Conference", "Dance"}));
        source->listSelect(2);
        scenes->listSelect(1);
        music->listSelect(0);
        QTRY_VERIFY_WITH_TIMEOUT(logged(log).contains("< SN 4,1\n"), Timeout);
        QVERIFY(logged(log).contains("< SA \"Source Select\">1=2\n"));
        QVERIFY(logged(log).contains("< SS 2 \n"));
        QCOMPARE(other.ask("GA\"Source Select\">1"), QByteArray("GA\"Source Select\">1=2\r"));
        QTRY_VERIFY_WITH_TIMEOUT(!source->isHeldOff(), Timeout);
        QCOMPARE(other.ask("SA \"Source Select\">1=3"), QByteArray("\x06"));
        QTRY_COMPARE_WITH_TIMEOUT(source->itemProperty("currentText").toString(), QStringLiteral("Player"), Timeout);
        QCOMPARE(logged(log).count("< SA \"Source Select\""), 2);

        QTest::mouseClick(scene.view, Qt::LeftButton, {}, centreOf(source));
        QTRY_VERIFY_WITH_TIMEOUT(source->popup() && source->popup()->property("opened").toBool(), Timeout);
        keep(scene.view->grabWindow(), "lists-and-region.png");
        QMetaObject::invokeMethod(source->popup(), "close");
        QTRY_VERIFY_WITH_TIMEOUT(!source->popup(), Timeout);

        model->setOnline(false);
        model->closeDocument();
    }
};

QTEST_MAIN(tst_RoomPanel)
#include "tst_roompanel.moc"
