// The device protocol: the exact command text of every structure, polled end to end against a simulated device, routing
// each reply to the transforms of its parameter only, and level reports with the entry each meter shows.

#include "CommTestUtil.h"

#include "HChassis.h"
#include "PKVDCommand.h"
#include "PKVDProtocol.h"
#include "PLevelReport.h"
#include "PProtocolFactory.h"
#include "TTransformFactory.h"

using namespace commtest;

namespace {
// A raw device that refuses subscriptions and acknowledges every set: the protocol polls, the test sees every byte.
QByteArray pollingDevice(const QByteArray &line)
{
    if (line == "SUB")
        return "SUB,no\r";
    for (const char *set : {"SA", "MA", "SS", "SG", "SN", "SRC"}) {
        if (line.startsWith(set))
            return QByteArray(1, Ack);
    }
    return QByteArray();
}

// A control's block and value, the command that sets it, the query that reads it and the simulator's answer.
struct Golden
{
    int structure;
    QString label;
    int index1, index2;
    QString value;
    QByteArray set, query;
    QString reply;
    int sendIndex1 = -1, sendIndex2 = -1;
};

// A value that must not reach the device, or one that may (sent not empty): its control's structure, label,
// channel label and linked value, and the transform kind (none: the text as it is) with its list and the index
// set (or -1 and the value text).
struct Refusal
{
    QString keyword, set;
    int index;
    QString value, sent;
    int structure = 0;
    QString label = QStringLiteral("Gain"), channelLabel = QString(), linked = QString();
};

// A meter's node (title, label, port, pin), its channel, its report's entries and the one it shows (-1: none).
struct Meter
{
    QString title, label;
    int port, pin, channel, entries, entry;
};
} // namespace

Q_DECLARE_METATYPE(Golden)
Q_DECLARE_METATYPE(Meter)
Q_DECLARE_METATYPE(Refusal)

class tst_KVDProtocol : public QObject
{
    Q_OBJECT
private slots:
    void goldenCommands_data()
    {
        QTest::addColumn<Golden>("row");
        // The channel label (7), the linked value (3) and the poll command (9) come from the row's structure.
        QTest::newRow("0 level")
            << Golden{0, "Gain 1", 1, 0, "-12.5", "SA \"Gain 1\">1=-12.5\r", "GA\"Gain 1\">1\r", "-12.5"};
        QTest::newRow("1 mute") << Golden{1, "Mute 2", 3, 0, "T", "SA \"Mute 2\">3=T\r", "GA\"Mute 2\">3\r", "T"};
        QTest::newRow("2 two indexes") << Golden{2, "G", 3, 4, "78", "SA \"G\">3>4=78\r", "GA\"G\">3>4\r", "78"};
        // Sent to the send indexes, read from the others: never set there.
        QTest::newRow("2 send indexes") << Golden{2, "G", 3, 4, "1", "SA \"G\">5>6=1\r", "GA\"G\">3>4\r", "0.0", 5, 6};
        QTest::newRow("3 through a linked value")
            << Golden{3, "Selector 1", 0, 2, "T", "SA \"Selector 1\">4>2=T\r", "GA \"Selector 1\">4>2\r", "T"};
        QTest::newRow("4 status") << Golden{4, "Status", 0, 0, "31", "SS 1f \r", "GS \r", "0x1f"};
        QTest::newRow("5 group level") << Golden{5, "Group", 26, 0, "78", "SG 1a,78\r", "GG 1a\r", "78"};
        QTest::newRow("6 group number") << Golden{6, "Group", 26, 0, "1", "SN 1a,1\r", "GN 1a\r", "1"};
        QTest::newRow("7 channel") << Golden{7, "Dante In", 4, 2, "O", "SA\"Lectern\">2=O\r", "GA\"Lectern\">2\r", "O"};
        // Set by the first index, read by the second: this one was never set.
        QTest::newRow("8 matrix")
            << Golden{8, "Mixer 1", 5, 7, "-6.0", "MA \"Mixer 1\">5=-6.0\r", "GA\"Mixer 1\">0>7\r", "0.0"};
        QTest::newRow("9 commands") << Golden{9, "Rooms", 0, 0, "SRC 2,[1,2];SRC 3,[4,5]\r",
                                              "SRC 2,[1,2]\rSRC 3,[4,5]\r", "GRC 2\r", "GRC 2,[1,2]"};
    }
    void goldenCommands()
    {
        QFETCH(Golden, row);
        Binding control(row.label, row.structure, row.index1, row.index2);
        control.attributes.setChannelLabel(row.structure == 7 ? QStringLiteral("Lectern") : QString());
        control.transform.setValue(row.value.toInt());
        control.transform.command = row.structure == 9 ? QStringLiteral("GRC 2\r") : QString();
        if (row.sendIndex1 >= 0)
            control.transform.setSendIndexes(row.sendIndex1, row.sendIndex2);
        TextTransform source;
        source.setValueText(QStringLiteral("4"));
        if (row.structure == 3)
            QVERIFY(control.transform.linkTo(&source));
        {
            Online<PKVDProtocol> online(pollingDevice, true);
            // Sending asks the poll to wait; polling does not.
            QSignalSpy postpone(&online.protocol, &PProtocol::aboutToSendValue);
            QVERIFY(control.send(online.protocol, row.value));
            QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, row.set, Timeout);
            QVERIFY(online.protocol.poll(&control.transform));
            QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, row.set + row.query, Timeout);
            QCOMPARE(postpone.count(), 1);
        }
        // End to end against a simulated device that polls and writes each answer in two pieces 80 ms
        // apart: "...=-12" alone reads as a value too, and must not be taken for the answer.
        SimFaults faults;
        faults.noSubscribe = faults.splitReplies = true;
        SimPeer sim(faults);
        PKVDProtocol protocol;
        auto client = runningClient(&protocol, sim.port(), true);
        client->setTailFlushInterval(20);
        QVERIFY(!protocol.isSubscribed());
        QSignalSpy failures(client->dispatcher(), &ITcpClientThread::messageError);
        QVERIFY(protocol.sendValue(&control.transform) && protocol.poll(&control.transform));
        QTRY_COMPARE_WITH_TIMEOUT(control.transform.replies, QStringList{row.reply}, Timeout);
        QCOMPARE(failures.count(), 0);
    }

    void refusedValuesSendNothing_data()
    {
        QTest::addColumn<Refusal>("row");
        QTest::newRow("double quote") << Refusal{"", "", -1, "1", "", 0, "Gain \"A\""};
        QTest::newRow("equals sign") << Refusal{"", "", -1, "1", "", 2, "A=B"};
        QTest::newRow("semicolon") << Refusal{"", "", -1, "1", "", 0, "A;B"};
        QTest::newRow("carriage return") << Refusal{"", "", -1, "1", "", 8, "A\rB"};
        QTest::newRow("channel label") << Refusal{"", "", -1, "1", "", 7, "Dante", "Mic\"1"};
        QTest::newRow("line end in the value") << Refusal{"", "", -1, "1\rSA \"Other\">1=0", ""};
        QTest::newRow("linked value with a quote") << Refusal{"", "", -1, "1", "", 3, "Selector", "", "In\"1"};
        QTest::newRow("no linked control") << Refusal{"", "", -1, "1", "", 3, "Selector"};
        QTest::newRow("line end inside a command") << Refusal{"", "", -1, "SRC 2,[1,2]\rX", "", 9, "Rooms"};
        QTest::newRow("list index past the list") << Refusal{"chrL", "F,O,T", 5, "", ""};
        QTest::newRow("list entry") << Refusal{"chrL", "F,O,T", 2, "", "T"};
        QTest::newRow("code table index past the codes") << Refusal{"hexL", "41,42", 2, "", ""};
        QTest::newRow("code table NUL") << Refusal{"hexL", "41,0,e9", 1, "", ""};
        QTest::newRow("code table past ASCII") << Refusal{"hexL", "41,0,e9", 2, "", ""};
        QTest::newRow("code table letter") << Refusal{"hexL", "41,0,e9", 0, "", "A"};
        QTest::newRow("text list slot past eight") << Refusal{"strL", "Low,Mid,High", 9, "", ""};
        QTest::newRow("level nan") << Refusal{"strV", "", -1, "nan", ""};
        QTest::newRow("level -inf") << Refusal{"strV", "", -1, "-inf", ""};
        QTest::newRow("level") << Refusal{"strV", "", -1, "-12.5", "-12.5"};
        QTest::newRow("NUL in a text") << Refusal{"text", "", -1, QString("A") + QChar(0), ""};
    }
    void refusedValuesSendNothing()
    {
        QFETCH(Refusal, row);
        Online<PKVDProtocol> online(pollingDevice, true);
        Binding control(row.label, row.structure, 1, 2);
        control.attributes.setChannelLabel(row.channelLabel);
        control.attributes.setSet(row.set);
        TextTransform source;
        source.setValueText(row.linked);
        if (!row.linked.isEmpty())
            control.transform.linkTo(&source);
        std::unique_ptr<TTransform> made(row.keyword.isEmpty() ? nullptr
                                                                : TTransformFactory::instance()->create(row.keyword));
        TTransform *transform = made ? made.get() : &control.transform;
        if (made) {
            made->setOwnerAttributes(&control.attributes);
            made->setNode(control.node);
            made->configure();
        }
        if (row.index >= 0)
            transform->setValue(static_cast<unsigned char>(row.index));
        else
            transform->setValueText(row.value);
        if (row.sent.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Control \"Control of .*nothing was sent"));
        QCOMPARE(online.protocol.sendValue(transform), !row.sent.isEmpty());
        // Only what can be sent reaches the device, and what comes next.
        Binding next(QStringLiteral("Next"), 0, 1);
        QVERIFY(next.send(online.protocol, QStringLiteral("0")));
        const QByteArray expected = row.sent.isEmpty() ? QByteArray() : "SA \"Gain\">1=" + row.sent.toUtf8() + "\r";
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, expected + "SA \"Next\">1=0\r", Timeout);
        // A level that comes back as no finite number is not taken.
        if (row.keyword != QLatin1String("strV"))
            return;
        QSignalSpy replies(transform, &TTransform::replyValueReady);
        for (const char *reply : {"nan", "-inf", "-12."})
            transform->receiveReply(QString::fromLatin1(reply));
        QCOMPARE(replies.count(), 1);
        QCOMPARE(transform->replyText(), QStringLiteral("-12."));
    }

    void repliesReachOnlyTheirParameter()
    {
        Online<PKVDProtocol> online(pollingDevice, true);
        Binding gain(QStringLiteral("G"), 0, 1), status(QStringLiteral("Status"), 4);
        Binding group(QStringLiteral("Group"), 5, 26), number(QStringLiteral("Group"), 6, 26);
        Binding first(QStringLiteral("M"), 2, 3, 4), second(QString(), 2, 3, 5, first.node);
        // A selector is addressed through the input another control chose;
        // that control chooses again before the answer comes.
        Binding selector(QStringLiteral("Selector"), 3, 0, 2);
        TextTransform input;
        selector.transform.linkTo(&input);
        input.setValueText(QStringLiteral("3"));
        QVERIFY(online.protocol.poll(&selector.transform));
        input.setValueText(QStringLiteral("4"));
        for (Binding *control : {&gain, &status, &group, &number, &first, &second, &selector})
            QVERIFY(online.protocol.poll(&control->transform));
        // With or without the blank, behind an acknowledge, joined by ";".
        for (const QByteArray &line :
             {QByteArray("GA \"G\">1=4"), QByteArray(1, Ack) + "GA\"G\">1=5\r", QByteArray("S 0x1f"),
              QByteArray("GG 1a,70"), QByteArray("GN 1a,3;GG 1a,71"), QByteArray("GA\"M\">3>5=7"),
              QByteArray("GA\"M\">3>4=63"), QByteArray("GA \"Selector\">4>2=T")})
            QVERIFY2(online.protocol.handleReply(line), line.constData());
        // Refusals, noise, unknown groups and the old address reach nobody.
        for (const QByteArray &line : {QByteArray(1, Nak) + "GA\"G\">1=4", QByteArray(), QByteArray("\r"),
                                       QByteArray("garbage without meaning"), QByteArray("GG 1b,70"),
                                       QByteArray("GA \"Selector\">3>2=F"), QByteArray("GA\"M\">3>6=1")})
            QVERIFY(!online.protocol.handleReply(line));
        QList<QStringList> replies;
        for (Binding *control : {&gain, &status, &group, &number, &first, &second, &selector})
            replies << control->transform.replies;
        QCOMPARE(replies, (QList<QStringList>{{"4", "5"}, {"0x1f"}, {"70"}, {"3"}, {"63"}, {"7"}, {"T"}}));
        // A protocol that asked nothing takes nothing.
        QVERIFY(!PKVDProtocol().handleReply("GA\"G\">1=4"));
    }

    void streamingSetsAreAcknowledged()
    {
        // A refused set is written again while the device streams too.
        int sets = 0;
        Online<PKVDProtocol> online(
            [&sets](const QByteArray &line) {
                return line == "SUB" ? QByteArray("SUB,yes\r") : QByteArray(1, ++sets == 1 ? Nak : Ack);
            },
            true);
        QCOMPARE(online.client->streaming(), quint8(1));
        Binding control(QStringLiteral("Gain"), 0, 1);
        QVERIFY(control.send(online.protocol, QStringLiteral("1")));
        QTRY_COMPARE_WITH_TIMEOUT(sets, 2, Timeout);
        QCOMPARE(online.peer.received, QByteArray("SA \"Gain\">1=1\rSA \"Gain\">1=1\r"));
        QTRY_VERIFY_WITH_TIMEOUT(online.idle(), Timeout);
        QCOMPARE(online.failures->count(), 1);
    }

    void queuedSetsOfOneParameterMerge()
    {
        // While a set waits for its ACK, newer values of a level replace the one queued; the order of parameters stays,
        // and every change of a state (a press and its release) goes out.
        SimFaults faults;
        faults.delayMs = 100;
        SimPeer sim(faults);
        QStringList arrived;
        connect(sim.device.get(), &SimDevice::commandReceived, this, [&arrived](int, const QByteArray &bytes) {
            if (bytes.startsWith("SA "))
                arrived << QString::fromUtf8(bytes.mid(3).chopped(1));
        });
        PKVDProtocol protocol;
        auto client = runningClient(&protocol, sim.port(), true);
        Binding a(QStringLiteral("G"), 0, 1), b(QString(), 0, 2, 0, a.node), c(QString(), 0, 3, 0, a.node);
        a.transform.level = b.transform.level = true;
        QVERIFY(a.send(protocol, "1"));
        QTRY_COMPARE_WITH_TIMEOUT(arrived.size(), 1, Timeout);
        for (const auto &[control, value] : QList<QPair<Binding *, const char *>>{
                 {&a, "2"}, {&b, "1"}, {&a, "3"}, {&b, "2"}, {&a, "4"}, {&c, "1"}, {&c, "0"}})
            QVERIFY(control->send(protocol, value));
        QTRY_COMPARE_WITH_TIMEOUT(arrived.size(), 5, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
        QCOMPARE(arrived, (QStringList{"\"G\">1=1", "\"G\">1=4", "\"G\">2=2", "\"G\">3=1", "\"G\">3=0"}));
    }

    void offlineSendsNothing()
    {
        PKVDProtocol protocol;
        Binding control(QStringLiteral("Gain"), 0, 1);
        QTest::ignoreMessage(QtDebugMsg, "No interface to get status from.");
        QVERIFY(!protocol.sendValue(&control.transform));
        ITcpClient closed;
        closed.setProtocol(&protocol);
        protocol.setInterface(&closed);
        QVERIFY(!protocol.sendValue(&control.transform));
        // Nothing to ask of a device that is away; the panel's walk goes on.
        QVERIFY(protocol.poll(&control.transform));
        QCOMPARE(protocol.subscriptions().keyCount(), 0);
        QVERIFY(!protocol.sendValue(nullptr));
        control.transform.setNode(nullptr);
        QVERIFY(!protocol.poll(&control.transform));
        // Families are matched as written; anything else gets no protocol.
        for (const auto &[family, typeName] : QList<QPair<QString, QString>>{
                 {"Korvel", "KVD"}, {"KA6200N", "KVD"}, {"zmp", ""}, {"", ""}, {"XT", ""}, {"File", "File"}, {"file", ""}}) {
            std::unique_ptr<PProtocol> made(PProtocolFactory::instance().create(family));
            QCOMPARE(made ? made->typeName() : QString(), typeName);
        }
    }

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
        QTest::addColumn<Meter>("meter");
        QTest::newRow("PSTN In") << Meter{"PSTN In", "", 0, -1, 0, 2, 0};
        QTest::newRow("PSTN Out") << Meter{"PSTN Out", "", 0, -1, 0, 2, 1};
        QTest::newRow("USB In, second channel") << Meter{"USB In", "", 0, -1, 1, 4, 1};
        QTest::newRow("USB Out, second channel") << Meter{"USB Out", "", 0, -1, 1, 4, 3};
        QTest::newRow("USB In, channel past the report") << Meter{"USB In", "", 0, -1, 4, 4, -1};
        QTest::newRow("VoIP Out, line 2") << Meter{"VoIP Out", "", 0, 1, 0, 4, 3};
        QTest::newRow("VoIP, other pin") << Meter{"VoIP In", "", 0, 3, 0, 4, 3};
        QTest::newRow("VoIP, pin past the report") << Meter{"VoIP In", "", 0, 7, 0, 4, -1};
        QTest::newRow("four-channel card, port 6") << Meter{"Input 7", "", 6, -1, 0, 4, 2};
        QTest::newRow("four-channel card, port 16") << Meter{"Input 17", "", 16, -1, 0, 4, -1};
        QTest::newRow("four-channel card, no port") << Meter{"Input 1", "", -1, -1, 0, 4, -1};
        QTest::newRow("PSTN with four entries counts as a card") << Meter{"PSTN In", "", 5, -1, 0, 4, 1};
        QTest::newRow("eight-channel card") << Meter{"Output 6", "", 5, -1, 0, 8, 5};
        QTest::newRow("amplifier output by number") << Meter{"Amp Output", "Out-3", 0, -1, 0, 8, 2};
        QTest::newRow("amplifier output by letter") << Meter{"Amp Output", "Out-C", 0, -1, 0, 8, 2};
        QTest::newRow("amplifier output without a dash") << Meter{"Amp Output", "Out", 0, -1, 0, 8, -1};
        QTest::newRow("Dante out") << Meter{"Dante Out", "", 0, -1, 5, 64, 37};
        QTest::newRow("Dante, 128 entries") << Meter{"Dante Out", "", 0, -1, 63, 128, 127};
        QTest::newRow("Dante, channel past the report") << Meter{"Dante In", "", 0, -1, 70, 64, -1};
        QTest::newRow("Dante, unknown entry count") << Meter{"Dante In", "", 0, -1, 5, 48, -1};
        QTest::newRow("unknown kind and count") << Meter{"Gain", "", 0, -1, 0, 3, -1};
    }
    void entrySelection()
    {
        QFETCH(Meter, meter);
        HNode node;
        node.setTitle(meter.title);
        node.setLabel(meter.label);
        node.setPortIndex(meter.port);
        node.setPinIndex(meter.pin);
        QCOMPARE(PLevelReport::entryFor(&node, meter.channel, meter.entries), meter.entry);
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
        Binding left(QString(), 10, 1, 0, usb), right(QString(), 10, 2, 0, usb);
        PProtocol *protocol = device.protocol();
        device.setOnline(true);
        QTRY_VERIFY_WITH_TIMEOUT(device.interface()->isConnected(), Timeout);
        protocol->queryNow(&left.transform);
        protocol->queryNow(&right.transform);
        QTRY_VERIFY_WITH_TIMEOUT(!left.transform.replies.isEmpty() && !right.transform.replies.isEmpty(), Timeout);
        bool isLevel = false;
        const double level = left.transform.replies.first().toDouble(&isLevel);
        QVERIFY(isLevel && level >= -60.0 && level <= 0.0);
        // The slot is compared without regard to case.
        QVERIFY(protocol->handleReply("GL a 9 4 100 0 [-1.0,-2.0,-3.0,-4.0]"));
        QCOMPARE(left.transform.replies.last() + right.transform.replies.last(), QStringLiteral("-1.0-2.0"));
        // A meter outside any card slot has nothing to ask.
        Binding unplaced(QStringLiteral("Meter"), 10, 1);
        QString problem;
        QCOMPARE(PKVDCommand::query(&unplaced.transform, &problem), QString());
        QVERIFY(problem.contains(QLatin1String("no card slot")));
    }
};

QTEST_GUILESS_MAIN(tst_KVDProtocol)
#include "tst_kvdprotocol.moc"
