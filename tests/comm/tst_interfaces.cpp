// A device's interface: made by the chassis for its family and settings,
// owned by the chassis alone, linked into groups without being owned.

#include "CommTestUtil.h"

#include "HChassis.h"
#include "IComposite.h"
#include "IIPAddress.h"
#include "IInterfaceFactory.h"
#include "PKVDProtocol.h"

using namespace commtest;

class tst_Interfaces : public QObject
{
    Q_OBJECT
private slots:
    void chassisSetsItsInterfaceUpOnce()
    {
        // Going online through the chassis is met by the loopback tests; here the settings that come after.
        HChassis device;
        QCOMPARE(device.interface(), nullptr); // nothing connects before it is asked to
        const auto setting = [&device](const QString &name, const QString &value) {
            device.setAttribute(name, value);
            device.attributeChanged(name);
        };
        device.setAttribute(QStringLiteral("ipaddress"), QStringLiteral("192.168.10.5"));
        device.setAttribute(QStringLiteral("serialport"), QStringLiteral("10065"));
        setting(QStringLiteral("platform"), QStringLiteral("ZMP"));
        auto *client = qobject_cast<ITcpClient *>(device.interface());
        QVERIFY(client && client->hardwareNode() == &device);
        QCOMPARE(client->addressText() + ':' + QString::number(client->port()), QStringLiteral("192.168.10.5:10065"));
        setting(QStringLiteral("platform"), QStringLiteral("ZMP"));
        QCOMPARE(device.interface(), client);
        setting(QStringLiteral("ipaddress"), QStringLiteral("192.168.10.6"));
        setting(QStringLiteral("serialport"), QStringLiteral("COM1"));
        QCOMPARE(client->addressText() + ':' + QString::number(client->port()), QStringLiteral("192.168.10.6:0"));
    }

    void deletingAnOnlineDeviceLeavesNothingDangling()
    {
        SimPeer sim;
        IComposite interfaces;
        auto device = std::make_unique<HChassis>();
        device->setAttribute(QStringLiteral("ipaddress"), QStringLiteral("127.0.0.1"));
        device->setAttribute(QStringLiteral("serialport"), QString::number(sim.port()));
        device->setOnline(true);
        interfaces.add(device->interface());
        QTRY_COMPARE_WITH_TIMEOUT(interfaces.connectedCount(), 1, Timeout);
        // The document closes: the device and with it its interface go; the group only forgets it.
        device.reset();
        QCOMPARE(interfaces.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(sim.device->connectionCount(), 0, Timeout);
        interfaces.clear(true);
        // Whichever of protocol and interface goes first, nothing dangles.
        PKVDProtocol protocol;
        std::unique_ptr<IInterface> interface(
            IInterfaceFactory::instance().create(&protocol, QStringLiteral("192.168.10.5"), 10055, nullptr));
        QCOMPARE(protocol.interface(), interface.get());
        interface.reset();
        QCOMPARE(protocol.interface(), nullptr);
    }

    void groupLinksWithoutOwning()
    {
        auto first = std::make_unique<ITcpClient>();
        auto second = std::make_unique<ITcpClient>();
        {
            IComposite group;
            for (ITcpClient *member : {first.get(), second.get(), first.get()})
                group.add(member);
            QCOMPARE(group.count(), 2);
            QCOMPARE((QList<IInterface *>{group.childAt(1), group.childAt(2), group.childAt(-1)}),
                     (QList<IInterface *>{second.get(), nullptr, nullptr}));
            group.remove(first.get());
            QCOMPARE(group.count(), 1);
            // The device that owned it is deleted first, as when a document closes.
            group.add(first.get());
            first.reset();
            QCOMPARE(group.count(), 1);
            QCOMPARE(group.childAt(0), second.get());
            // A closed client answers false: nothing was open.
            QVERIFY(!group.close() && group.connectedCount() == 0);
            group.clear(true);
            QCOMPARE(group.count(), 0);
        }
        // The group is gone; the interface belongs to its device still.
        QCOMPARE(second->name(), QStringLiteral("TcpClient Interface"));
    }

    void portNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        QTest::newRow("blanks") << " 10065 " << 10065;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("too large") << "70000" << 0;
        QTest::newRow("beyond 32 bits") << "99999999999" << 0;
        QTest::newRow("negative") << "-1" << 0;
    }
    void portNumbers()
    {
        QFETCH(QString, text);
        QTEST(IInterfaceFactory::portNumber(text), "port");
    }

    void addressOctets()
    {
        IIPAddress ip(QStringLiteral("192.168.1.20"));
        QCOMPARE((QList<int>{ip.octetCount(), ip.octet(0), ip.octet(1), ip.octet(2), ip.octet(3), ip.octet(4),
                             ip.octet(-1)}), (QList<int>{4, 192, 168, 1, 20, -1, -1}));
        QVERIFY(ip.setOctet(0, 10) && ip.setOctet(3, 254));
        // Outside the four octets, or outside a byte, nothing changes.
        QVERIFY(!ip.setOctet(4, 7) && !ip.setOctet(-1, 7) && !ip.setOctet(1, 256));
        QCOMPARE(ip.toString(), QStringLiteral("10.168.1.254"));
    }
};

QTEST_GUILESS_MAIN(tst_Interfaces)
#include "tst_interfaces.moc"
