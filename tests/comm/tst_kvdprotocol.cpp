// The device protocol: the exact command text of every structure, polled
// end to end against a simulated device, and routing each reply to the
// transforms of its parameter only.

#include "CommTestUtil.h"

#include "PKVDProtocol.h"
#include "PProtocolFactory.h"
#include "TTransformFactory.h"

#include <QFile>
#include <QTemporaryDir>

using namespace commtest;

namespace {

// A raw device that refuses subscriptions and acknowledges every set
// command, so that the protocol polls and the test sees every byte.
QByteArray pollingDevice(const QByteArray &line)
{
    if (line == "SUB")
        return "SUB,no\r";
    if (line.startsWith("SA") || line.startsWith("MA") || line.startsWith("SS") || line.startsWith("SG")
        || line.startsWith("SN") || line.startsWith("SRC"))
        return QByteArray(1, Ack);
    return QByteArray();
}

// A protocol online towards a polling device, with nothing received yet.
struct Polled : Online<PKVDProtocol>
{
    Polled() : Online(pollingDevice, true) {}
};

} // namespace

class tst_KVDProtocol : public QObject
{
    Q_OBJECT

private slots:
    void goldenCommands_data();
    void goldenCommands();
    void sendIndexesAddressSetCommands();
    void unsafeNamesAreRefused_data();
    void unsafeNamesAreRefused();
    void unsendableValuesAreRefused_data();
    void unsendableValuesAreRefused();
    void replyReachesOnlyTheMatchingIndexes();
    void repliesOfEveryForm();
    void movedAddressNoLongerAnswers();
    void streamingSetsAreAcknowledged();
    void queuedSetsOfOneParameterMerge();
    void offlineSendsNothing();
    void factory();
};

void tst_KVDProtocol::goldenCommands_data()
{
    QTest::addColumn<int>("structure");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("index1");
    QTest::addColumn<int>("index2");
    QTest::addColumn<QString>("channelLabel");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("pollCommand");
    QTest::addColumn<QString>("linked");
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QString>("reply"); // what a simulated device answers the query

    QTest::newRow("0 level") << 0 << "Gain 1" << 1 << 0 << "" << "-3.0" << "" << ""
                             << QByteArray("SA \"Gain 1\">1=-3.0\r") << QByteArray("GA\"Gain 1\">1\r") << "-3.0";
    QTest::newRow("1 mute") << 1 << "Mute 2" << 3 << 0 << "" << "T" << "" << ""
                            << QByteArray("SA \"Mute 2\">3=T\r") << QByteArray("GA\"Mute 2\">3\r") << "T";
    QTest::newRow("2 two indexes") << 2 << "G" << 3 << 4 << "" << "78" << "" << ""
                                   << QByteArray("SA \"G\">3>4=78\r") << QByteArray("GA\"G\">3>4\r") << "78";
    QTest::newRow("3 through a linked value") << 3 << "Selector 1" << 0 << 2 << "" << "T" << "" << "4"
                                              << QByteArray("SA \"Selector 1\">4>2=T\r")
                                              << QByteArray("GA \"Selector 1\">4>2\r") << "T";
    QTest::newRow("4 status") << 4 << "Status" << 0 << 0 << "" << "31" << "" << ""
                              << QByteArray("SS 1f \r") << QByteArray("GS \r") << "0x1f";
    QTest::newRow("5 group level") << 5 << "Group" << 26 << 0 << "" << "78" << "" << ""
                                   << QByteArray("SG 1a,78\r") << QByteArray("GG 1a\r") << "78";
    QTest::newRow("6 group number") << 6 << "Group" << 26 << 0 << "" << "1" << "" << ""
                                    << QByteArray("SN 1a,1\r") << QByteArray("GN 1a\r") << "1";
    QTest::newRow("7 channel") << 7 << "Dante In" << 4 << 2 << "Lectern" << "O" << "" << ""
                               << QByteArray("SA\"Lectern\">2=O\r") << QByteArray("GA\"Lectern\">2\r") << "O";
    // Set by the first index, read by the second: this one was never set.
    QTest::newRow("8 matrix") << 8 << "Mixer 1" << 5 << 7 << "" << "-6.0" << "" << ""
                              << QByteArray("MA \"Mixer 1\">5=-6.0\r") << QByteArray("GA\"Mixer 1\">0>7\r")
                              << "0.0";
    QTest::newRow("9 commands") << 9 << "Rooms" << 0 << 0 << "" << "SRC 2,[1,2];SRC 3,[4,5]\r" << "GRC 2\r" << ""
                                << QByteArray("SRC 2,[1,2]\rSRC 3,[4,5]\r") << QByteArray("GRC 2\r")
                                << "GRC 2,[1,2]";
}

void tst_KVDProtocol::goldenCommands()
{
    QFETCH(int, structure);
    QFETCH(QString, label);
    QFETCH(int, index1);
    QFETCH(int, index2);
    QFETCH(QString, channelLabel);
    QFETCH(QString, value);
    QFETCH(QString, pollCommand);
    QFETCH(QString, linked);
    QFETCH(QByteArray, set);
    QFETCH(QByteArray, query);
    QFETCH(QString, reply);

    Binding control(label, structure, index1, index2);
    control.attributes.setChannelLabel(channelLabel);
    control.transform.setValueText(value);
    control.transform.setValue(value.toInt());
    control.transform.command = pollCommand;
    TextTransform source;
    source.setValueText(linked);
    if (!linked.isEmpty())
        QVERIFY(control.transform.linkTo(&source));

    {
        Polled online;
        QVERIFY(online.protocol.sendValue(&control.transform));
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, set, Timeout);
        online.peer.received.clear();
        QVERIFY(online.protocol.poll(&control.transform));
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, query, Timeout);
    }

    // Polled end to end: a simulated device that takes no subscriptions
    // answers the query, and the answer reaches the transform.
    SimFaults faults;
    faults.noSubscribe = true;
    SimPeer sim(faults);
    PKVDProtocol protocol;
    auto client = runningClient(&protocol, sim.port(), true);
    QVERIFY(!protocol.isSubscribed());
    QSignalSpy failures(client->dispatcher(), &ITcpClientThread::messageError);
    QVERIFY(protocol.sendValue(&control.transform));
    QVERIFY(protocol.poll(&control.transform));
    QTRY_COMPARE_WITH_TIMEOUT(control.transform.replies, QStringList{reply}, Timeout);
    QCOMPARE(failures.count(), 0);
}

void tst_KVDProtocol::sendIndexesAddressSetCommands()
{
    // Sending asks the poll to wait (once); polling does not.
    Polled online;
    QSignalSpy postpone(&online.protocol, &PProtocol::aboutToSendValue);
    Binding control(QStringLiteral("G"), 2, 3, 4);
    control.transform.setSendIndexes(5, 6);
    control.transform.setValueText(QStringLiteral("1"));
    QVERIFY(online.protocol.sendValue(&control.transform));
    QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, QByteArray("SA \"G\">5>6=1\r"), Timeout);
    online.peer.received.clear();
    QVERIFY(online.protocol.poll(&control.transform));
    QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, QByteArray("GA\"G\">3>4\r"), Timeout);
    QCOMPARE(postpone.count(), 1);
}

void tst_KVDProtocol::unsafeNamesAreRefused_data()
{
    QTest::addColumn<int>("structure");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("channelLabel");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("linked");

    QTest::newRow("double quote") << 0 << "Gain \"A\"" << "" << "1" << "";
    QTest::newRow("equals sign") << 2 << "A=B" << "" << "1" << "";
    QTest::newRow("semicolon") << 0 << "A;B" << "" << "1" << "";
    QTest::newRow("carriage return") << 8 << "A\rB" << "" << "1" << "";
    QTest::newRow("channel label") << 7 << "Dante" << "Mic\"1" << "1" << "";
    QTest::newRow("line end in the value") << 0 << "Gain" << "" << "1\rSA \"Other\">1=0" << "";
    QTest::newRow("linked value with a quote") << 3 << "Selector" << "" << "1" << "In\"1";
    QTest::newRow("no linked control") << 3 << "Selector" << "" << "1" << "";
    QTest::newRow("line end inside a command") << 9 << "Rooms" << "" << "SRC 2,[1,2]\rX" << "";
}

void tst_KVDProtocol::unsafeNamesAreRefused()
{
    QFETCH(int, structure);
    QFETCH(QString, label);
    QFETCH(QString, channelLabel);
    QFETCH(QString, value);
    QFETCH(QString, linked);

    Polled online;
    Binding bad(label, structure, 1, 2);
    bad.attributes.setChannelLabel(channelLabel);
    bad.transform.setValueText(value);
    TextTransform source;
    source.setValueText(linked);
    if (!linked.isEmpty())
        bad.transform.linkTo(&source);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^Control \"Control of .*nothing was sent")));
    QVERIFY(!online.protocol.sendValue(&bad.transform));

    // Only what comes next reaches the device.
    Binding good(QStringLiteral("Gain"), 0, 1);
    good.transform.setValueText(QStringLiteral("2"));
    QVERIFY(online.protocol.sendValue(&good.transform));
    QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, QByteArray("SA \"Gain\">1=2\r"), Timeout);
}

void tst_KVDProtocol::unsendableValuesAreRefused_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("set");
    QTest::addColumn<int>("index");     // the list index set, or -1
    QTest::addColumn<QString>("value"); // else the value text set
    QTest::addColumn<QString>("sent");  // empty: refused

    QTest::newRow("list index past the list") << "chrL" << "F,O,T" << 5 << "" << "";
    QTest::newRow("list entry") << "chrL" << "F,O,T" << 2 << "" << "T";
    QTest::newRow("code table index past the codes") << "hexL" << "41,42" << 2 << "" << "";
    QTest::newRow("code table NUL") << "hexL" << "41,0,e9" << 1 << "" << "";
    QTest::newRow("code table past ASCII") << "hexL" << "41,0,e9" << 2 << "" << "";
    QTest::newRow("code table letter") << "hexL" << "41,0,e9" << 0 << "" << "A";
    QTest::newRow("text list slot past eight") << "strL" << "Low,Mid,High" << 9 << "" << "";
    QTest::newRow("level nan") << "strV" << "" << -1 << "nan" << "";
    QTest::newRow("level -inf") << "strV" << "" << -1 << "-inf" << "";
    QTest::newRow("level") << "strV" << "" << -1 << "-12.5" << "-12.5";
    QTest::newRow("NUL in a text") << "text" << "" << -1 << QString("A") + QChar(0) << "";
}

void tst_KVDProtocol::unsendableValuesAreRefused()
{
    QFETCH(QString, keyword);
    QFETCH(QString, set);
    QFETCH(int, index);
    QFETCH(QString, value);
    QFETCH(QString, sent);
    Polled online;
    Binding control(QStringLiteral("Gain"), 0, 1);
    control.attributes.setSet(set);
    std::unique_ptr<TTransform> transform(TTransformFactory::instance()->create(keyword));
    QVERIFY(transform);
    transform->setOwnerAttributes(&control.attributes);
    transform->setNode(control.node);
    transform->configure();
    if (index >= 0)
        transform->setValue(static_cast<unsigned char>(index));
    else
        transform->setValueText(value);
    if (sent.isEmpty()) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Control \"Control of Gain\": .*nothing was sent")));
        QVERIFY(!online.protocol.sendValue(transform.get()));
    } else {
        QVERIFY(online.protocol.sendValue(transform.get()));
    }
    // Only what can be sent reaches the device, and what comes next.
    Binding next(QStringLiteral("Next"), 0, 1);
    next.transform.setValueText(QStringLiteral("0"));
    QVERIFY(online.protocol.sendValue(&next.transform));
    const QByteArray expected = (sent.isEmpty() ? QByteArray() : "SA \"Gain\">1=" + sent.toUtf8() + "\r") + "SA \"Next\">1=0\r";
    QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, expected, Timeout);

    // A level that comes back as no finite number is not taken.
    if (keyword == QLatin1String("strV")) {
        QSignalSpy replies(transform.get(), &TTransform::replyValueReady);
        transform->receiveReply(QStringLiteral("nan"));
        transform->receiveReply(QStringLiteral("-inf"));
        transform->receiveReply(QStringLiteral("-12."));
        QCOMPARE(replies.count(), 1);
        QCOMPARE(transform->replyText(), QStringLiteral("-12."));
    }
}

void tst_KVDProtocol::replyReachesOnlyTheMatchingIndexes()
{
    Polled online;
    RawPeer &peer = online.peer;
    PKVDProtocol &protocol = online.protocol;
    HNode block;
    block.setLabel(QStringLiteral("G"));
    Binding first(QString(), 2, 3, 4, &block);
    Binding second(QString(), 2, 3, 5, &block);
    QVERIFY(protocol.poll(&first.transform));
    QVERIFY(protocol.poll(&second.transform));
    QTRY_VERIFY_WITH_TIMEOUT(peer.received.contains("GA\"G\">3>4\r"), Timeout);

    peer.send("GA\"G\">3>4=63\r");
    QTRY_COMPARE_WITH_TIMEOUT(first.transform.replies, QStringList{"63"}, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(peer.received.contains("GA\"G\">3>5\r"), Timeout);
    peer.send("GA\"G\">3>5=7\r");
    QTRY_COMPARE_WITH_TIMEOUT(second.transform.replies, QStringList{"7"}, Timeout);
    QCOMPARE(first.transform.replies, QStringList{"63"});
    QCOMPARE(online.failures->count(), 0);
}

void tst_KVDProtocol::repliesOfEveryForm()
{
    Polled online;
    PKVDProtocol &protocol = online.protocol;
    Binding gain(QStringLiteral("G"), 0, 1);
    Binding status(QStringLiteral("Status"), 4);
    Binding group(QStringLiteral("Group"), 5, 26);
    Binding number(QStringLiteral("Group"), 6, 26);
    for (Binding *control : {&gain, &status, &group, &number})
        QVERIFY(protocol.poll(&control->transform));

    // With or without the blank, behind an acknowledge, joined by ";".
    QVERIFY(protocol.handleReply("GA \"G\">1=4"));
    QVERIFY(protocol.handleReply(QByteArray(1, Ack) + "GA\"G\">1=5\r"));
    QVERIFY(protocol.handleReply("S 0x1f"));
    QVERIFY(protocol.handleReply("GG 1a,70"));
    QVERIFY(protocol.handleReply("GN 1a,3;GG 1a,71"));
    QCOMPARE(gain.transform.replies, (QStringList{"4", "5"}));
    QCOMPARE(status.transform.replies, QStringList{"0x1f"});
    QCOMPARE(group.transform.replies, QStringList{"70"});
    QCOMPARE(number.transform.replies, QStringList{"3"});

    // Refusals, noise and unknown groups reach nobody.
    for (const QByteArray &line : {QByteArray(1, Nak) + "GA\"G\">1=4", QByteArray(), QByteArray("\r"),
                                   QByteArray("garbage without meaning"), QByteArray("GG 1b,70")})
        QVERIFY(!protocol.handleReply(line));
    QCOMPARE(gain.transform.replies.size(), 2);
    QCOMPARE(group.transform.replies.size(), 1);

    // A protocol that asked nothing takes nothing.
    PKVDProtocol idle;
    QVERIFY(!idle.handleReply("GA\"G\">1=4"));
}

void tst_KVDProtocol::movedAddressNoLongerAnswers()
{
    Polled online;
    PKVDProtocol &protocol = online.protocol;
    // A selector's parameter is addressed through the input another
    // control chose; the other control chooses again.
    Binding control(QStringLiteral("Selector"), 3, 0, 2);
    TextTransform input;
    control.transform.linkTo(&input);
    input.setValueText(QStringLiteral("3"));
    QVERIFY(protocol.poll(&control.transform));
    input.setValueText(QStringLiteral("4"));
    QVERIFY(protocol.poll(&control.transform));

    QVERIFY(!protocol.handleReply("GA \"Selector\">3>2=F"));
    QVERIFY(protocol.handleReply("GA \"Selector\">4>2=T"));
    QCOMPARE(control.transform.replies, QStringList{"T"});
}

void tst_KVDProtocol::streamingSetsAreAcknowledged()
{
    // A set that the device refuses is written again while it streams too,
    // rather than lost without a word.
    int sets = 0;
    Online<PKVDProtocol> online(
        [&sets](const QByteArray &line) {
            if (line == "SUB")
                return QByteArray("SUB,yes\r");
            return QByteArray(1, ++sets == 1 ? Nak : Ack);
        },
        true);
    PKVDProtocol &protocol = online.protocol;
    QCOMPARE(online.client->streaming(), quint8(1));
    Binding control(QStringLiteral("Gain"), 0, 1);
    control.transform.setValueText(QStringLiteral("1"));
    QVERIFY(protocol.sendValue(&control.transform));
    QTRY_COMPARE_WITH_TIMEOUT(sets, 2, Timeout);
    QCOMPARE(online.peer.received, QByteArray("SA \"Gain\">1=1\rSA \"Gain\">1=1\r"));
    QTRY_COMPARE_WITH_TIMEOUT(online.client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
    QCOMPARE(online.failures->count(), 1);
}

void tst_KVDProtocol::queuedSetsOfOneParameterMerge()
{
    // A slow device: while the first set waits for its ACK, newer values of
    // the same level take the place of the one queued; the order of the
    // parameters stays, and every change of a state (a press and its
    // release) goes out.
    QTemporaryDir dir;
    SimFaults faults;
    faults.delayMs = 100;
    SimPeer sim(faults);
    QVERIFY(sim.listening);
    QString error;
    QVERIFY2(sim.log.openFile(dir.filePath(QStringLiteral("sim.log")), &error), qPrintable(error));
    PKVDProtocol protocol;
    auto client = runningClient(&protocol, sim.port(), true);
    HNode block;
    block.setLabel(QStringLiteral("G"));
    Binding a(QString(), 0, 1, 0, &block);
    Binding b(QString(), 0, 2, 0, &block);
    Binding c(QString(), 0, 3, 0, &block);
    a.transform.level = true;
    b.transform.level = true;
    QFile log(dir.filePath(QStringLiteral("sim.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QStringList arrived;
    const auto readArrivals = [&] {
        for (const QByteArray &line : log.readAll().split('\n')) {
            const int at = int(line.indexOf("< SA "));
            if (at >= 0)
                arrived << QString::fromUtf8(line.mid(at + 5));
        }
        return int(arrived.size());
    };
    const auto move = [&protocol](Binding &binding, int value) {
        binding.transform.setValueText(QString::number(value));
        QVERIFY(protocol.sendValue(&binding.transform));
    };
    move(a, 1);
    QTRY_COMPARE_WITH_TIMEOUT(readArrivals(), 1, Timeout);
    move(a, 2);
    move(b, 1);
    move(a, 3);
    move(b, 2);
    move(a, 4);
    move(c, 1);
    move(c, 0);
    QTRY_COMPARE_WITH_TIMEOUT(readArrivals(), 5, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
    readArrivals();
    QCOMPARE(arrived, (QStringList{"\"G\">1=1", "\"G\">1=4", "\"G\">2=2", "\"G\">3=1", "\"G\">3=0"}));
}

void tst_KVDProtocol::offlineSendsNothing()
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

    Binding unbound(QStringLiteral("Gain"), 0, 1);
    unbound.transform.setNode(nullptr);
    QVERIFY(!protocol.poll(&unbound.transform));
}

void tst_KVDProtocol::factory()
{
    // Families are matched as written; anything else gets no protocol.
    const QList<QPair<QString, QString>> families = {
        {"Korvel", "KVD"}, {"KA6200N", "KVD"}, {"zmp", ""}, {"", ""}, {"XT", ""}};
    for (const auto &[family, typeName] : families) {
        std::unique_ptr<PProtocol> protocol(PProtocolFactory::instance().create(family));
        QCOMPARE(protocol ? protocol->typeName() : QString(), typeName);
    }
}

QTEST_GUILESS_MAIN(tst_KVDProtocol)
#include "tst_kvdprotocol.moc"
