// The IPv4 address with octet access.

#include "IIPAddress.h"

#include <QtTest>

class tst_IPAddress : public QObject
{
    Q_OBJECT

private slots:
    void readsOctets_data();
    void readsOctets();
    void replacesOctets_data();
    void replacesOctets();
};

void tst_IPAddress::readsOctets_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QList<int>>("octets");
    QTest::newRow("private") << "192.168.1.20" << QList<int>{192, 168, 1, 20};
    QTest::newRow("loopback") << "127.0.0.1" << QList<int>{127, 0, 0, 1};
    QTest::newRow("all ones") << "255.255.255.255" << QList<int>{255, 255, 255, 255};
}

void tst_IPAddress::readsOctets()
{
    QFETCH(QString, address);
    QFETCH(QList<int>, octets);
    const IIPAddress ip(address);
    QCOMPARE(ip.octetCount(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ip.octet(i), octets.at(i));
    QCOMPARE(ip.octet(4), -1);
    QCOMPARE(ip.octet(-1), -1);
}

void tst_IPAddress::replacesOctets_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<QString>("result");
    QTest::newRow("first") << 0 << 10 << true << "10.168.1.20";
    QTest::newRow("last") << 3 << 254 << true << "192.168.1.254";
    QTest::newRow("zero") << 2 << 0 << true << "192.168.0.20";
    QTest::newRow("octet 4") << 4 << 7 << false << "192.168.1.20";
    QTest::newRow("negative index") << -1 << 7 << false << "192.168.1.20";
    QTest::newRow("value above 255") << 1 << 256 << false << "192.168.1.20";
}

void tst_IPAddress::replacesOctets()
{
    QFETCH(int, index);
    QFETCH(int, value);
    QFETCH(bool, replaced);
    QFETCH(QString, result);
    IIPAddress ip(QStringLiteral("192.168.1.20"));
    QCOMPARE(ip.setOctet(index, value), replaced);
    QCOMPARE(ip.toString(), result);
}

QTEST_GUILESS_MAIN(tst_IPAddress)
#include "tst_ipaddress.moc"
