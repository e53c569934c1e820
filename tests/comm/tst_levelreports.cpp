// Level reports: the report layout, and which entry each meter shows.

#include "CommTestUtil.h"

#include "HChassis.h"
#include "PKVDCommand.h"
#include "PKVDProtocol.h"
#include "PLevelReport.h"

using namespace commtest;

class tst_LevelReports : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("slot"); // empty: no report
        QTest::addColumn<QStringList>("levels");
        QTest::newRow("two levels") << "GL B 17 2 100 0 [-23.4,-41.0]" << "B" << QStringList{"-23.4", "-41.0"};
        QTest::newRow("clipping, tabs and runs of blanks")
            << "GL 3\t5  4 100 9 [-0.5,-20.0,-30.0,-0.2]" << "3" << QStringList{"-0.5", "-20.0", "-30.0", "-0.2"};
        QTest::newRow("blank after a comma") << "GL 1 1 2 100 0 [-1.0, -2.0]" << "1" << QStringList{"-1.0", "-2.0"};
        QTest::newRow("six fields") << "GL B 17 2 100 [-23.4,-41.0]" << "" << QStringList();
        QTest::newRow("no brackets") << "GL B 17 2 100 0 -23.4,-41.0" << "" << QStringList();
        QTest::newRow("open bracket only") << "GL B 17 2 100 0 [-23.4,-41.0" << "" << QStringList();
        QTest::newRow("count does not match") << "GL B 17 3 100 0 [-23.4,-41.0]" << "" << QStringList();
        QTest::newRow("not a report") << "GA\"G\">1 2 3 4 5 6 [1]" << "" << QStringList();
    }
    void parse()
    {
        QFETCH(QString, line);
        QFETCH(QString, slot);
        PLevelReport report;
        QCOMPARE(report.parse(line), !slot.isEmpty());
        QCOMPARE(report.slot(), slot);
        QTEST(report.levels(), "levels");
    }

    void entrySelection_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("portIndex");
        QTest::addColumn<int>("pinIndex");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("entry");
        QTest::newRow("PSTN In") << "PSTN In" << "" << 0 << -1 << 0 << 2 << 0;
        QTest::newRow("PSTN Out") << "PSTN Out" << "" << 0 << -1 << 0 << 2 << 1;
        QTest::newRow("USB In, second channel") << "USB In" << "" << 0 << -1 << 1 << 4 << 1;
        QTest::newRow("USB Out, second channel") << "USB Out" << "" << 0 << -1 << 1 << 4 << 3;
        QTest::newRow("USB In, channel past the report") << "USB In" << "" << 0 << -1 << 4 << 4 << -1;
        QTest::newRow("VoIP In, line 1") << "VoIP In" << "" << 0 << 0 << 0 << 4 << 0;
        QTest::newRow("VoIP Out, line 2") << "VoIP Out" << "" << 0 << 1 << 0 << 4 << 3;
        QTest::newRow("VoIP, other pin") << "VoIP In" << "" << 0 << 3 << 0 << 4 << 3;
        QTest::newRow("VoIP, pin past the report") << "VoIP In" << "" << 0 << 7 << 0 << 4 << -1;
        QTest::newRow("four-channel card, port 6") << "Input 7" << "" << 6 << -1 << 0 << 4 << 2;
        QTest::newRow("four-channel card, port 16") << "Input 17" << "" << 16 << -1 << 0 << 4 << -1;
        QTest::newRow("four-channel card, no port") << "Input 1" << "" << -1 << -1 << 0 << 4 << -1;
        QTest::newRow("PSTN with four entries counts as a card") << "PSTN In" << "" << 5 << -1 << 0 << 4 << 1;
        QTest::newRow("eight-channel card") << "Output 6" << "" << 5 << -1 << 0 << 8 << 5;
        QTest::newRow("amplifier output by number") << "Amp Output" << "Out-3" << 0 << -1 << 0 << 8 << 2;
        QTest::newRow("amplifier output by letter") << "Amp Output" << "Out-C" << 0 << -1 << 0 << 8 << 2;
        QTest::newRow("amplifier output without a dash") << "Amp Output" << "Out" << 0 << -1 << 0 << 8 << -1;
        QTest::newRow("Dante out") << "Dante Out" << "" << 0 << -1 << 5 << 64 << 37;
        QTest::newRow("Dante, 128 entries") << "Dante Out" << "" << 0 << -1 << 63 << 128 << 127;
        QTest::newRow("Dante, channel past the report") << "Dante In" << "" << 0 << -1 << 70 << 64 << -1;
        QTest::newRow("Dante, unknown entry count") << "Dante In" << "" << 0 << -1 << 5 << 48 << -1;
        QTest::newRow("unknown kind and count") << "Gain" << "" << 0 << -1 << 0 << 3 << -1;
    }
    void entrySelection()
    {
        QFETCH(QString, title);
        QFETCH(QString, label);
        QFETCH(int, portIndex);
        QFETCH(int, pinIndex);
        QFETCH(int, channel);
        QFETCH(int, entries);
        HNode node;
        node.setTitle(title);
        node.setLabel(label);
        node.setPortIndex(portIndex);
        node.setPinIndex(pinIndex);
        QTEST(PLevelReport::entryFor(&node, channel, entries), "entry");
    }

    void queryNamesTheSlotInUpperCase()
    {
        HChassis device;
        device.setTitle(QStringLiteral("XT-10C"));
        auto *pstn = new HNode;
        pstn->setTitle(QStringLiteral("PSTN In"));
        QVERIFY(device.addNode(pstn));
        Binding meter(QString(), 10, 1, 0, pstn);
        QString problem;
        QCOMPARE(PKVDCommand::query(&meter.transform, &problem), QStringLiteral("GL B"));
        QCOMPARE(PKVDCommand::replyTag(QStringLiteral("GL B")), QStringLiteral("GL B "));
        // A node without a slot cannot ask for levels.
        Binding unplaced(QStringLiteral("Meter"), 10, 1);
        QCOMPARE(PKVDCommand::query(&unplaced.transform, &problem), QString());
        QVERIFY(problem.contains(QLatin1String("no card slot")));
    }

    void reportReachesTheMetersOfItsSlot()
    {
        SimPeer sim;
        HChassis device;
        device.setTitle(QStringLiteral("XT-10C"));
        device.setAttribute(QStringLiteral("ipaddress"), QStringLiteral("127.0.0.1"));
        device.setAttribute(QStringLiteral("serialport"), QString::number(sim.port()));
        auto *usb = new HNode;
        usb->setTitle(QStringLiteral("USB In"));
        QVERIFY(device.addNode(usb));
        Binding left(QString(), 10, 1, 0, usb);
        Binding right(QString(), 10, 2, 0, usb);
        PProtocol *protocol = device.protocol();
        device.setOnline(true);
        QTRY_VERIFY_WITH_TIMEOUT(device.interface()->isConnected(), Timeout);
        protocol->queryNow(&left.transform);
        protocol->queryNow(&right.transform);
        QTRY_VERIFY_WITH_TIMEOUT(!left.transform.replies.isEmpty() && !right.transform.replies.isEmpty(), Timeout);
        bool isLevel = false;
        const double level = left.transform.replies.first().toDouble(&isLevel);
        QVERIFY(isLevel && level >= -60.0 && level <= 0.0);
        // The slot is compared without regard to case; a malformed report
        // reaches nobody.
        QVERIFY(protocol->handleReply("GL a 9 4 100 0 [-1.0,-2.0,-3.0,-4.0]"));
        QCOMPARE(left.transform.replies.last(), QStringLiteral("-1.0"));
        QCOMPARE(right.transform.replies.last(), QStringLiteral("-2.0"));
        const int received = int(left.transform.replies.size());
        protocol->handleReply("GL A 9 4 100 [-5.0,-6.0,-7.0,-8.0]");
        protocol->handleReply("GL A 9 3 100 0 [-5.0,-6.0,-7.0,-8.0]");
        QCOMPARE(left.transform.replies.size(), received);
    }
};

QTEST_GUILESS_MAIN(tst_LevelReports)
#include "tst_levelreports.moc"
