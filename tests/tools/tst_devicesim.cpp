// The simulated device in-process over loopback: the exact replies at the
// edges of its commands, pushes to subscribers, level reports, its faults, its
// console, and its telephone lines through every state.

#include "SimConnection.h"
#include "SimConsole.h"
#include "SimDevice.h"
#include "SimDeviceInfo.h"
#include "SimFaults.h"
#include "SimLevelMeter.h"
#include "SimLog.h"
#include "SimPhoneLine.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

namespace {

constexpr int Timeout = 5000;
const QByteArray Ack(1, '\x06');
const QByteArray Nak(1, '\x15');

// A client of a simulated device that collects every byte it is sent.
class Peer
{
public:
    explicit Peer(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { received += socket.readAll(); });
        // The listening socket completes the handshake without the event loop.
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(Timeout);
    }
    void send(const QByteArray &bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
    bool isConnected() const { return socket.state() == QAbstractSocket::ConnectedState; }
    // Sends a command and waits for the answer, which must be reply; what
    // was received is cleared for the next exchange.
    bool exchange(const QByteArray &command, const QByteArray &reply)
    {
        send(command);
        const bool ok = QTest::qWaitFor([&] { return received.size() >= reply.size(); }, Timeout)
                        && received == reply;
        if (!ok)
            qWarning() << "sent" << command << "expected" << reply << "received" << received;
        received.clear();
        return ok;
    }

    QTcpSocket socket;
    QByteArray received;
};

// What a client sees of several answers, whether they came in one write
// (joined by ";") or in several.
QByteArray unjoined(QByteArray bytes) { return bytes.replace(';', QByteArray()); }

// Automatic steps of the telephone lines under test: short, but long enough
// that two commands given at once land before the step.
constexpr int StepMs = 40;

} // namespace

Q_DECLARE_METATYPE(SimFaults)

class TestDeviceSim : public QObject
{
    Q_OBJECT

    SimLog m_log;

    // A device on a free loopback port; one that cannot listen stops the
    // test program at once.
    std::unique_ptr<SimDevice> startDevice(const SimFaults &faults = SimFaults(), SimDeviceInfo info = SimDeviceInfo())
    {
        info.port = 0;
        auto device = std::make_unique<SimDevice>(info, faults, &m_log);
        QString error;
        if (!device->listen(QHostAddress::LocalHost, &error))
            qFatal("a simulated device cannot listen on loopback: %s", qPrintable(error));
        return device;
    }

private slots:
    void initTestCase() { m_log.setQuiet(true); }

    void goldenReplies_data()
    {
        // Commands and the exact replies they get, in turn, on one connection
        // or (after "B ") on another; an empty command waits for a push.
        QTest::addColumn<QByteArrayList>("exchanges");
        QTest::addColumn<bool>("subscribes");
        const QByteArray ack = Ack;
        const QByteArray nak = Nak;
        // The plain replies of every structure meet the protocol's tests
        // against this device; here the edges.
        QTest::newRow("index written with zero") << QByteArrayList{"SA \"G\">01=2.5\r", ack, "GA\"G\">1\r",
                                                                   "GA\"G\">1=2.5\r"} << true;
        QTest::newRow("text with blanks, last set wins")
            << QByteArrayList{"SA \"Room\">1=Board\r", ack, "SA \"Room\">1=Board Room A\r", ack,
                              "GA\"Room\">1\r", "GA\"Room\">1=Board Room A\r"} << true;
        QTest::newRow("group in either case") << QByteArrayList{"GG 1a\r", "GG 1a,78\r", "SG 1A,63\r", ack,
                                                                "GG 1a\r", "GG 1a,63\r"} << true;
        QTest::newRow("single room joins nothing") << QByteArrayList{"SRC 2,[1,2][3]\r", ack, "GRC 2\r",
                                                                     "GRC 2,[1,2]\r"} << true;
        QTest::newRow("refused room sets change nothing")
            << QByteArrayList{"SRC 2,[1,2]\r", ack,         "SRC 2,[3,3]\r", nak, "SRC 2,[1,2][2,3]\r", nak,
                              "SRC 2,1,2\r",   nak,         "SRC 2,[1,2]x\r", nak, "GRC 2\r", "GRC 2,[1,2]\r"} << true;
        QTest::newRow("subscription to no query") << QByteArrayList{"SUB \"HELLO\"\r", "SUB \"HELLO\",no\r"} << true;
        QTest::newRow("malformed") << QByteArrayList{"XYZ\r", nak, "GA\"Gain 1\"\r", nak, "SA \"Gain 1\">1\r", nak,
                                                     "GA Gain>1\r", nak, "SS zz \r", nak, "SG 1a\r", nak,
                                                     "GRC 0\r", nak, "GL\r", nak, "GL -1\r", nak, "gs \r", nak} << true;
        // Subscribed, the other station's change is pushed; refused, nothing
        // comes before the answer to the next query.
        const auto pushed = [&](const char *name, const QByteArray &query, const QByteArray &set, const QByteArray &push) {
            QTest::newRow(name) << QByteArrayList{"SUB\r", "SUB,yes\r", "SUB \"" + query + "\"\r",
                                                  "SUB \"" + query + "\",yes\r", "B " + set, ack, "", push} << true;
        };
        pushed("push level", "GA\"Gain 1\">1", "SA \"Gain 1\">1=-3.0\r", "GA\"Gain 1\">1=-3.0\r");
        pushed("push matrix", "GA\"Matrix\">0>5", "MA \"Matrix\">5=O\r", "GA\"Matrix\">0>5=O\r");
        pushed("push status", "GS ", "SS 2 \r", "S 0x2\r");
        pushed("push rooms", "GRC 2", "SRC 2,[1,2]\r", "GRC 2,[1,2]\r");
        QTest::newRow("subscriptions refused")
            << QByteArrayList{"SUB\r", "SUB,no\r", "SUB \"GA\"Gain 1\">1\"\r", "SUB \"GA\"Gain 1\">1\",no\r",
                              "B SA \"Gain 1\">1=-3.0\r", ack, "GS \r", "S 0x0\r"}
            << false;
        // Only changes are pushed, and only while subscribed; who sets a
        // value it subscribed to gets the acknowledge before the push; a
        // room-combine subscription is given up under its key, ending in ",".
        QTest::newRow("push only for changes while subscribed")
            << QByteArrayList{"SUB \"GA\"Gain 1\">1\"\r", "SUB \"GA\"Gain 1\">1\",yes\r",
                              "B SA \"Gain 1\">1=0.0\r", ack, "GS \r", "S 0x0\r",
                              "SA \"Gain 1\">1=-3.0\r", ack + ";GA\"Gain 1\">1=-3.0\r",
                              "UNS \"GA\"Gain 1\">1\"\r", "UNS \"GA\"Gain 1\">1\",yes\r",
                              "B SA \"Gain 1\">1=-6.0\r", ack, "GA\"Gain 1\">1\r", "GA\"Gain 1\">1=-6.0\r",
                              "SUB \"GRC 2\"\r", "SUB \"GRC 2\",yes\r", "UNS \"GRC 2,\"\r", "UNS \"GRC 2,\",yes\r",
                              "B SRC 2,[1,2]\r", ack, "GS \r", "S 0x0\r"}
            << true;
    }
    void goldenReplies()
    {
        QFETCH(QByteArrayList, exchanges);
        QFETCH(bool, subscribes);
        SimFaults faults;
        faults.noSubscribe = !subscribes;
        auto device = startDevice(faults);
        Peer a(device->port()), b(device->port());
        for (int i = 0; i + 1 < exchanges.size(); i += 2) {
            const QByteArray &command = exchanges.at(i);
            Peer &peer = command.startsWith("B ") ? b : a;
            QVERIFY(peer.exchange(command.startsWith("B ") ? command.mid(2) : command, exchanges.at(i + 1)));
        }
    }

    void levelReportLayout()
    {
        SimDeviceInfo info;
        info.nodeId = 4;
        info.levelEntries = {{1, 4}, {0xB, 2}, {6, 128}};
        auto device = startDevice(SimFaults(), info);
        Peer first(device->port()), second(device->port());
        static const QRegularExpression layout(QStringLiteral(R"(^GL (\S+) (\d+) (\d+) 100 ([0-9a-f]+) \[([^\s\]]*)\]\r$)"));
        static const QRegularExpression oneDecimal(QStringLiteral(R"(^-?\d+\.\d$)"));
        qulonglong lastSequence = 0;
        int i = 0;
        // A slot the design gives no count has eight entries.
        for (const auto &[slot, count] : QList<QPair<QByteArray, int>>{{"1", 4}, {"B", 2}, {"6", 128}, {"5", 8}, {"b", 2}}) {
            Peer &peer = i++ % 2 ? second : first;
            peer.received.clear();
            peer.send("GL " + slot + "\r");
            QTRY_VERIFY_WITH_TIMEOUT(peer.received.endsWith('\r'), Timeout);
            const QRegularExpressionMatch m = layout.match(QString::fromLatin1(peer.received));
            QVERIFY2(m.hasMatch(), peer.received.constData());
            QCOMPARE(m.captured(1), QString::fromLatin1(slot));
            // The sequence rises with every report of the device, whoever asks.
            QVERIFY(m.captured(2).toULongLong() > lastSequence);
            lastSequence = m.captured(2).toULongLong();
            QCOMPARE(m.captured(3).toInt(), count);
            const QStringList values = m.captured(5).split(QLatin1Char(','));
            QCOMPARE(values.size(), count);
            QVector<double> levels;
            for (const QString &value : values) {
                QVERIFY2(oneDecimal.match(value).hasMatch(), qPrintable(value));
                levels.append(value.toDouble());
                QVERIFY(levels.last() >= -60.0 && levels.last() <= 0.0);
            }
            QCOMPARE(m.captured(4), SimLevelMeter::clipMask(levels));
        }
    }

    void clipMask()
    {
        QCOMPARE(SimLevelMeter::clipMask({-20.0, -1.0, -60.0}), QStringLiteral("0"));
        QCOMPARE(SimLevelMeter::clipMask({-0.5, -10.0, 0.0, -1.0}), QStringLiteral("5"));
        QVector<double> dante(128, -30.0);
        dante[127] = 0.0;
        QCOMPARE(SimLevelMeter::clipMask(dante), QStringLiteral("8") + QString(31, QLatin1Char('0')));
    }

    void faults_data()
    {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answered");
        QTest::addColumn<bool>("closes");
        SimFaults drop, nak, close, refuse, silent, stall;
        drop.dropEvery = 3;
        nak.nakEvery = close.closeAfter = silent.silentAfter = stall.stallAfter = 2;
        refuse.refuse = true;
        QTest::newRow("every third dropped: no answer, no effect")
            << drop << QByteArray("GS \rGG 1\rSA \"G\">1=5\rGA\"G\">1\r") << QByteArray("S 0x0\rGG 1,78\rGA\"G\">1=0.0\r")
            << false;
        QTest::newRow("every second refused") << nak << QByteArray("GS \rSS 5 \rGS \rGS \r")
                                              << "S 0x0\r" + Nak + "S 0x0\r" + Nak << false;
        QTest::newRow("closed after two answers") << close << QByteArray("GS \rGG 1\rGN 1\r")
                                                  << QByteArray("S 0x0\rGG 1,78\r") << true;
        QTest::newRow("connections refused") << refuse << QByteArray("GS \r") << QByteArray() << true;
        QTest::newRow("silent after two: open, no answer, no effect")
            << silent << QByteArray("GS \rGG 1\rSS 5 \rGS \r") << QByteArray("S 0x0\rGG 1,78\r") << false;
        QTest::newRow("stalled after two: open, nothing more read")
            << stall << QByteArray("GS \rGG 1\rSS 5 \rGS \r") << QByteArray("S 0x0\rGG 1,78\r") << false;
    }
    void faults()
    {
        QFETCH(SimFaults, faults);
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, answered);
        QFETCH(bool, closes);
        auto device = startDevice(faults);
        Peer peer(device->port());
        peer.send(sent);
        if (closes) {
            QTRY_VERIFY_WITH_TIMEOUT(!peer.isConnected(), Timeout);
            peer.received += peer.socket.readAll();
            QTRY_COMPARE_WITH_TIMEOUT(device->connectionCount(), 0, Timeout);
        }
        QTRY_COMPARE_WITH_TIMEOUT(unjoined(peer.received), answered, Timeout);
        if (faults.closeAfter || faults.silentAfter || faults.stallAfter) {
            // The count is per connection: a new one is served again (and the
            // set that went unanswered had no effect).
            Peer next(device->port());
            QVERIFY(next.exchange("GS \r", "S 0x0\r"));
        }
        if (faults.silentAfter || faults.stallAfter) {
            QCOMPARE(unjoined(peer.received), answered);
            QVERIFY(peer.isConnected());
        }
    }

    void delayedAnswersKeepTheirOrder()
    {
        SimFaults faults;
        faults.delayMs = 1000;
        auto device = startDevice(faults);
        Peer listener(device->port()), setter(device->port());
        QVERIFY(listener.exchange("SUB \"GS \"\r", "SUB \"GS \",yes\r"));
        setter.send("GG 1\rSS 3 \rGS \r");
        // The device has answered and pushed, and holds it all back.
        QTRY_VERIFY_WITH_TIMEOUT(device->delayedCount() >= 2, Timeout);
        QVERIFY(setter.received.isEmpty());
        QVERIFY(listener.received.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(unjoined(setter.received), "GG 1,78\r" + Ack + "S 0x3\r", Timeout);
        // Pushes are answers too, and wait as long.
        QTRY_COMPARE_WITH_TIMEOUT(listener.received, QByteArray("S 0x3\r"), Timeout);
    }

    void restartingDeviceKeepsItsValues()
    {
        SimFaults faults;
        faults.restartEveryS = 1;
        auto device = startDevice(faults);
        auto peer = std::make_unique<Peer>(device->port());
        QVERIFY(peer->exchange("SA \"Gain 1\">1=-3.0\r", Ack));
        QTRY_VERIFY_WITH_TIMEOUT(!peer->isConnected(), Timeout);
        QCOMPARE(device->connectionCount(), 0);
        // Back on its port after the pause, with what it was set to.
        QTRY_VERIFY_WITH_TIMEOUT((peer = std::make_unique<Peer>(device->port()), peer->isConnected()), Timeout);
        QVERIFY(peer->exchange("GA\"Gain 1\">1\r", "GA\"Gain 1\">1=-3.0\r"));
    }

    void consoleSetsValuesAndSilencesTheDevice()
    {
        auto device = startDevice();
        Peer listener(device->port());
        QVERIFY(listener.exchange("SUB \"GA\"Gain 1\">1\"\r", "SUB \"GA\"Gain 1\">1\",yes\r"));
        SimConsole console({device.get()});
        // The value is the last word; the query keeps its blanks.
        QCOMPARE(console.execute(QStringLiteral("set GA\"Gain 1\">1 -12.5")), QStringLiteral("ok"));
        QTRY_COMPARE_WITH_TIMEOUT(listener.received, QByteArray("GA\"Gain 1\">1=-12.5\r"), Timeout);
        listener.received.clear();
        QCOMPARE(device->parameter(QStringLiteral("GA \"Gain 1\">1")), QStringLiteral("-12.5"));
        for (const char *bad : {"set SA \"Gain 1\">1=2 2", "set GS", "silent -1", "reboot"})
            QVERIFY2(console.execute(QString::fromLatin1(bad)).startsWith(QLatin1String("error: ")), bad);
        // Silent: the connection stays and hears nothing; no new one is taken.
        QCOMPARE(console.execute(QStringLiteral("silent 1")), QStringLiteral("ok"));
        QVERIFY(device->isSilent());
        QVERIFY(listener.exchange("GS \r", QByteArray()));
        QTcpSocket refused;
        refused.connectToHost(QHostAddress::LocalHost, device->port());
        QVERIFY(!refused.waitForConnected(Timeout));
        QTRY_VERIFY_WITH_TIMEOUT(!device->isSilent(), Timeout);
        QVERIFY(listener.exchange("GS \r", "S 0x0\r"));
        Peer back(device->port());
        QVERIFY(back.exchange("GA\"Gain 1\">1\r", "GA\"Gain 1\">1=-12.5\r"));
    }

    void splitJoinedAndOverlongCommands()
    {
        auto device = startDevice();
        Peer peer(device->port()), other(device->port());
        // A command split across reads is put together again. The round trip
        // on the other connection lets the device read the first part alone.
        peer.send("GA\"Ga");
        QVERIFY(other.exchange("GS \r", "S 0x0\r"));
        QVERIFY(peer.received.isEmpty());
        QVERIFY(peer.exchange("in 1\">1\r", "GA\"Gain 1\">1=0.0\r"));
        // Several commands in one write are answered in order.
        peer.send("GA\"Gain 1\">1\rSA \"Gain 1\">1=-2.0\rGA\"Gain 1\">1\rBAD\r");
        QTRY_COMPARE_WITH_TIMEOUT(unjoined(peer.received),
                                  "GA\"Gain 1\">1=0.0\r" + Ack + "GA\"Gain 1\">1=-2.0\r" + Nak, Timeout);
        // A terminal's CR LF ends one command; the empty line after it is no command.
        peer.received.clear();
        QVERIFY(peer.exchange("GS \r\n", "S 0x0\r"));
        QVERIFY(peer.exchange("GN 1\n", "GN 1,0\r"));
        // An overlong command is refused, and the rest of it discarded up to
        // its end.
        peer.send(QByteArray(SimConnection::MaxCommandBytes + 4000, 'A'));
        QTRY_COMPARE_WITH_TIMEOUT(peer.received, Nak, Timeout);
        peer.send("AAAA\rGS \r");
        QTRY_COMPARE_WITH_TIMEOUT(peer.received, Nak + "S 0x0\r", Timeout);
        QVERIFY(peer.isConnected());
    }

    // Each step is an action and the status answer it must lead to. An
    // action is a command, "ring:<caller>", "hangup", or "wait" for the
    // line's next automatic step.
    void callsThroughEveryState_data()
    {
        QTest::addColumn<bool>("voip");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("PSTN through dial tone")
            << false << QStringList{"CALL", "DIALTONE", "DIGIT 5", "DIALING&5", "DIGIT 5", "DIALING&55", "wait",
                                    "RINGBACK&55", "wait", "ACTIVE&55", "DIGIT 7", "ACTIVE&55", "HOLD", "HOLD&55",
                                    "RESUME", "ACTIVE&55", "END", "HANGUP"};
        QTest::newRow("engaged") << false << QStringList{"CALL 999", "DIALING&999", "wait", "BUSY&999", "END", "HANGUP"};
        QTest::newRow("caller name cleaned") << false << QStringList{"ring:Front; Desk&\"", "INCOMING&Front Desk",
                                                                     "ACCEPT", "ACTIVE&Front Desk", "hangup", "HANGUP"};
        QTest::newRow("call waiting by flash")
            << false << QStringList{"ring:A", "INCOMING&A", "ACCEPT", "ACTIVE&A", "ring:B", "ACTIVE_INCOMING&B",
                                    "FLASH", "ACTIVE&B", "END", "HOLD&A", "RESUME", "ACTIVE&A"};
        QTest::newRow("hold and accept")
            << true << QStringList{"ring:A", "\"INCOMING\"&\"A\"", "ACCEPT", "\"ACTIVE\"&\"A\"", "ring:B",
                                   "\"ACTIVE_INCOMING\"&\"B\"", "HOLDACCEPT", "\"ACTIVE\"&\"B\"", "END", "\"HOLD\"&\"A\""};
        QTest::newRow("end and accept, decline and stay")
            << false << QStringList{"ring:A", "INCOMING&A", "ACCEPT", "ACTIVE&A", "ring:B", "ACTIVE_INCOMING&B",
                                    "ENDACCEPT", "ACTIVE&B", "ring:C", "ACTIVE_INCOMING&C", "DECLINE", "ACTIVE&B",
                                    "END", "HANGUP"};
        QTest::newRow("a second call added")
            << true << QStringList{"CALL 1", "\"OUTGOING\"&\"1\"", "wait", "\"RINGBACK\"&\"1\"", "wait", "\"ACTIVE\"&\"1\"",
                                   "ADD", "\"DIALTONE\"", "END", "\"HOLD\"&\"1\"", "hangup", "\"IDLE\""};
    }
    void callsThroughEveryState()
    {
        QFETCH(bool, voip);
        QFETCH(QStringList, steps);
        SimPhoneSettings settings;
        settings.stepMs = StepMs;
        settings.busyNumbers = {"999"};
        SimPhoneLine line("Line", voip ? SimPhoneLine::Kind::Voip : SimPhoneLine::Kind::Pstn, settings);
        for (int i = 0; i + 1 < steps.size(); i += 2) {
            const QString &action = steps[i], &expected = steps[i + 1];
            if (action == "wait")
                QTRY_COMPARE_WITH_TIMEOUT(line.statusText(), expected, Timeout);
            else if (action.startsWith("ring:"))
                QVERIFY(line.ring(action.mid(5)));
            else if (action == "hangup")
                QVERIFY(line.farEndHangUp());
            else
                QVERIFY2(line.command(action), qPrintable(action));
            QCOMPARE(line.statusText(), expected);
        }
    }

    void refusesWhatIsNoCommand()
    {
        SimPhoneLine line("Line", SimPhoneLine::Kind::Pstn, SimPhoneSettings());
        for (const char *text : {"RING", "DIGIT 55", "DIGIT", "CALL 12a", "END now", "", "CALL " "12345678901234567890"
                                 "12345678901234567890123456789012345678901234567890"}) {
            QVERIFY2(!SimPhoneLine::isCommand(text), text);
            QVERIFY(!line.command(text));
        }
        QCOMPARE(line.statusText(), QStringLiteral("HANGUP"));
        QVERIFY(line.ring("A"));
        QVERIFY(!line.ring("B"));
        QVERIFY(!SimPhoneLine(QString(), SimPhoneLine::Kind::Pstn, SimPhoneSettings()).farEndHangUp());
    }
};

QTEST_GUILESS_MAIN(TestDeviceSim)
#include "tst_devicesim.moc"
