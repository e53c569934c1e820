// A device's protocol and interface: made for its family and settings,
// owned by the chassis alone, opened and closed as the device goes online
// and offline.

#include "CommTestUtil.h"

#include "HChassis.h"
#include "IComposite.h"
#include "ITcpClient.h"
#include "PKVDProtocol.h"

using namespace commtest;

class tst_ChassisOnline : public QObject
{
    Q_OBJECT

private slots:
    void protocolIsMadeForTheFamilyAndShared();
    void platformSetsTheInterfaceUp();
    void unreadablePortGivesPortZero();
    void goingOnlineAndOffline();
    void deletingAnOnlineDeviceLeavesNothingDangling();
};

void tst_ChassisOnline::protocolIsMadeForTheFamilyAndShared()
{
    HChassis device;
    QVERIFY(device.protocol());
    QCOMPARE(device.protocol()->typeName(), QStringLiteral("KVD"));
    auto *card = new HNode;
    QVERIFY(device.addNode(card));
    QCOMPARE(card->protocol(), device.protocol());
    // Nothing connects before it is asked to.
    QCOMPARE(device.interface(), nullptr);
}

void tst_ChassisOnline::platformSetsTheInterfaceUp()
{
    HChassis device;
    device.setAttribute(QStringLiteral("ipaddress"), QStringLiteral("192.168.10.5"));
    device.setAttribute(QStringLiteral("serialport"), QStringLiteral("10065"));
    device.setAttribute(QStringLiteral("platform"), QStringLiteral("ZMP"));
    device.attributeChanged(QStringLiteral("platform"));

    auto *client = qobject_cast<ITcpClient *>(device.interface());
    QVERIFY(client);
    QCOMPARE(client->addressText(), QStringLiteral("192.168.10.5"));
    QCOMPARE(client->port(), 10065);
    QCOMPARE(client->protocol(), device.protocol());
    QCOMPARE(device.protocol()->interface(), client);
    QCOMPARE(client->hardwareNode(), &device);
    QCOMPARE(client->connectionState(), int(ITcpClient::Idle));

    // Set up once; later settings reach the same interface.
    device.attributeChanged(QStringLiteral("platform"));
    QCOMPARE(device.interface(), client);
    device.setAttribute(QStringLiteral("ipaddress"), QStringLiteral("192.168.10.6"));
    device.attributeChanged(QStringLiteral("ipaddress"));
    device.setAttribute(QStringLiteral("serialport"), QStringLiteral("10075"));
    device.attributeChanged(QStringLiteral("serialport"));
    QCOMPARE(client->addressText(), QStringLiteral("192.168.10.6"));
    QCOMPARE(client->port(), 10075);
}

void tst_ChassisOnline::unreadablePortGivesPortZero()
{
    HChassis device;
    device.setAttribute(QStringLiteral("serialport"), QStringLiteral("COM1"));
    device.attributeChanged(QStringLiteral("platform"));
    QCOMPARE(qobject_cast<ITcpClient *>(device.interface())->port(), 0);
}

void tst_ChassisOnline::goingOnlineAndOffline()
{
    SimPeer sim;
    HChassis device;
    device.setAttribute(QStringLiteral("ipaddress"), QStringLiteral("127.0.0.1"));
    device.setAttribute(QStringLiteral("serialport"), QString::number(sim.port()));

    // Online without a panel file's "platform": the interface is set up now.
    device.setOnline(true);
    QVERIFY(device.interface());
    QTRY_VERIFY_WITH_TIMEOUT(device.interface()->isConnected(), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(device.protocol()->isSubscribed(), Timeout);
    QCOMPARE(sim.device->connectionCount(), 1);

    QVERIFY(device.setOnline(false));
    QVERIFY(!device.interface()->isConnected());
    QVERIFY(!device.protocol()->isSubscribed());
    QTRY_COMPARE_WITH_TIMEOUT(sim.device->connectionCount(), 0, Timeout);

    device.setOnline(true);
    QTRY_VERIFY_WITH_TIMEOUT(device.interface()->isConnected(), Timeout);
}

void tst_ChassisOnline::deletingAnOnlineDeviceLeavesNothingDangling()
{
    SimPeer sim;
    IComposite interfaces;
    auto device = std::make_unique<HChassis>();
    device->setAttribute(QStringLiteral("ipaddress"), QStringLiteral("127.0.0.1"));
    device->setAttribute(QStringLiteral("serialport"), QString::number(sim.port()));
    device->setOnline(true);
    interfaces.add(device->interface());
    QTRY_COMPARE_WITH_TIMEOUT(interfaces.connectedCount(), 1, Timeout);

    // The document closes: the device and with it its interface go; the
    // group only forgets it.
    device.reset();
    QCOMPARE(interfaces.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(sim.device->connectionCount(), 0, Timeout);
    interfaces.clear(true);
}

QTEST_GUILESS_MAIN(tst_ChassisOnline)
#include "tst_chassisonline.moc"
