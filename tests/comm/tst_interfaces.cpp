// The interface group and the factories: a group links the interfaces of
// the devices without owning them, and the factories make the right kinds.

#include "CommTestUtil.h"

#include "IComposite.h"
#include "IInterfaceFactory.h"
#include "ITcpClient.h"
#include "PKVDProtocol.h"

using namespace commtest;

class tst_Interfaces : public QObject
{
    Q_OBJECT

private slots:
    void groupLinksWithoutOwning();
    void groupForgetsADestroyedInterface();
    void groupOpensAndClosesEveryDevice();
    void factoryMakesAConfiguredClient();
    void portNumbers_data();
    void portNumbers();
};

void tst_Interfaces::groupLinksWithoutOwning()
{
    auto first = std::make_unique<ITcpClient>();
    auto second = std::make_unique<ITcpClient>();
    {
        IComposite group;
        group.add(first.get());
        group.add(second.get());
        group.add(first.get());
        QCOMPARE(group.count(), 2);
        QCOMPARE(group.childAt(1), second.get());
        QCOMPARE(group.childAt(2), nullptr);
        QCOMPARE(group.childAt(-1), nullptr);

        group.remove(first.get());
        QCOMPARE(group.count(), 1);
        group.clear(true);
        QCOMPARE(group.count(), 0);
    }
    // The group is gone; the interfaces belong to their devices still.
    QCOMPARE(first->name(), QStringLiteral("TcpClient Interface"));
    QCOMPARE(second->name(), QStringLiteral("TcpClient Interface"));
}

void tst_Interfaces::groupForgetsADestroyedInterface()
{
    IComposite group;
    auto client = std::make_unique<ITcpClient>();
    ITcpClient other;
    group.add(client.get());
    group.add(&other);
    // The device that owned it is deleted first, as when a document closes.
    client.reset();
    QCOMPARE(group.count(), 1);
    QCOMPARE(group.childAt(0), &other);
    // A closed client answers false: nothing was open.
    QVERIFY(!group.close());
    QCOMPARE(group.connectedCount(), 0);
}

void tst_Interfaces::groupOpensAndClosesEveryDevice()
{
    IComposite empty;
    QVERIFY(empty.open());
    QVERIFY(empty.close());

    SimPeer first;
    SimPeer second;
    PKVDProtocol firstProtocol;
    PKVDProtocol secondProtocol;
    std::unique_ptr<IInterface> a(IInterfaceFactory::instance().create(
        &firstProtocol, QStringLiteral("127.0.0.1"), first.port(), nullptr));
    std::unique_ptr<IInterface> b(IInterfaceFactory::instance().create(
        &secondProtocol, QStringLiteral("127.0.0.1"), second.port(), nullptr));
    IComposite group;
    group.add(a.get());
    group.add(b.get());

    group.open();
    QTRY_COMPARE_WITH_TIMEOUT(group.connectedCount(), 2, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(firstProtocol.isSubscribed() && secondProtocol.isSubscribed(), Timeout);
    QVERIFY(group.close());
    QCOMPARE(group.connectedCount(), 0);
    QVERIFY(!firstProtocol.isSubscribed());
}

void tst_Interfaces::factoryMakesAConfiguredClient()
{
    PKVDProtocol protocol;
    HNode chassis;
    std::unique_ptr<IInterface> interface(IInterfaceFactory::instance().create(
        &protocol, QStringLiteral("192.168.10.5"), 10055, &chassis));
    auto *client = qobject_cast<ITcpClient *>(interface.get());
    QVERIFY(client);
    QCOMPARE(client->addressText(), QStringLiteral("192.168.10.5"));
    QCOMPARE(client->port(), 10055);
    QCOMPARE(client->protocol(), &protocol);
    QCOMPARE(client->hardwareNode(), &chassis);
    QCOMPARE(protocol.interface(), interface.get());
    QCOMPARE(client->connectionState(), int(ITcpClient::Idle));

    // Whoever goes first, nothing dangles.
    interface.reset();
    QCOMPARE(protocol.interface(), nullptr);
}

void tst_Interfaces::portNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::newRow("default") << "10055" << 10055;
    QTest::newRow("blanks") << " 10065 " << 10065;
    QTest::newRow("not a number") << "COM3" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("too large") << "70000" << 0;
    QTest::newRow("beyond 32 bits") << "99999999999" << 0;
    QTest::newRow("negative") << "-1" << 0;
}

void tst_Interfaces::portNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    QCOMPARE(IInterfaceFactory::portNumber(text), port);
}

QTEST_GUILESS_MAIN(tst_Interfaces)
#include "tst_interfaces.moc"
