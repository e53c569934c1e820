// The IPv4 address with octet access.

#include "IIPAddress.h"

#include <QtTest>

class tst_IPAddress : public QObject
{
    Q_OBJECT

private slots:
    void octets();
};

void tst_IPAddress::octets()
{
    IIPAddress ip(QStringLiteral("192.168.1.20"));
    QCOMPARE(ip.octetCount(), 4);
    QCOMPARE((QList<int>{ip.octet(0), ip.octet(1), ip.octet(2), ip.octet(3)}), (QList<int>{192, 168, 1, 20}));
    QCOMPARE(ip.octet(4), -1);
    QCOMPARE(ip.octet(-1), -1);

    QVERIFY(ip.setOctet(0, 10));
    QVERIFY(ip.setOctet(3, 254));
    QCOMPARE(ip.toString(), QStringLiteral("10.168.1.254"));
    // Outside the four octets, or outside a byte, nothing changes.
    QVERIFY(!ip.setOctet(4, 7));
    QVERIFY(!ip.setOctet(-1, 7));
    QVERIFY(!ip.setOctet(1, 256));
    QCOMPARE(ip.toString(), QStringLiteral("10.168.1.254"));
}

QTEST_GUILESS_MAIN(tst_IPAddress)
#include "tst_ipaddress.moc"
