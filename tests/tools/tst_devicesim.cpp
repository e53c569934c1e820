// The simulated device in-process over loopback: the exact replies at the edges of its commands, pushes to
// subscribers, level reports, its faults, its console, and its telephone lines through every state.

#include "../SimStation.h"
#include "../hardware/HardwareTestUtil.h"
#include "SimConnection.h"
#include "SimConsole.h"
#include "SimLevelMeter.h"
#include "SimPhoneLine.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QtTest>

#include <algorithm>
#include <array>

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
    void send(const QByteArray &bytes) { socket.write(bytes); socket.flush(); }
    bool isConnected() const { return socket.state() == QAbstractSocket::ConnectedState; }
    // Sends a command and waits for the answer, which must be reply; what came is cleared for the next exchange.
    bool exchange(const QByteArray &command, const QByteArray &reply)
    {
        send(command);
        const bool ok = QTest::qWaitFor([&] { return received.size() >= reply.size(); }, Timeout) && received == reply;
        if (!ok)
            qWarning() << "sent" << command << "expected" << reply << "received" << received;
        received.clear();
        return ok;
    }

    QTcpSocket socket;
    QByteArray received;
};

// What a client sees of several answers, whether they came in one write (joined by ";") or in several.
QByteArray unjoined(QByteArray bytes) { return bytes.replace(';', QByteArray()); }

} // namespace

Q_DECLARE_METATYPE(SimFaults)

class TestDeviceSim : public QObject
{
    Q_OBJECT

private slots:
    void exchanges_data()
    {
        // Commands and the exact replies they get, in turn, on one connection or (after "B ") on a second one
        // opened when first used; an empty command waits for a push, a reply "closed" for the device to close.
        hwtest::columns<SimFaults, QByteArrayList>("faults", "exchanges");
        SimFaults plain, noSubscribe, drop, refusing, close, refuse, silent, stall, restart;
        noSubscribe.noSubscribe = refuse.refuse = true;
        drop.dropEvery = 3;
        restart.restartEveryS = 1;
        refusing.nakEvery = close.closeAfter = silent.silentAfter = stall.stallAfter = 2;
        // The plain replies of every structure meet the protocol's tests against this device; here the edges.
        QTest::newRow("index written with zero")
            << plain << QByteArrayList{"SA \"G\">01=2.5\r", Ack, "GA\"G\">1\r", "GA\"G\">1=2.5\r"};
        QTest::newRow("text with blanks, last set wins")
            << plain << QByteArrayList{"SA \"Room\">1=Board\r", Ack, "SA \"Room\">1=Board Room A\r", Ack,
                                       "GA\"Room\">1\r", "GA\"Room\">1=Board Room A\r"};
        QTest::newRow("group in either case")
            << plain << QByteArrayList{"GG 1a\r", "GG 1a,78\r", "SG 1A,63\r", Ack, "GG 1a\r", "GG 1a,63\r"};
        QTest::newRow("single room joins nothing")
            << plain << QByteArrayList{"SRC 2,[1,2][3]\r", Ack, "GRC 2\r", "GRC 2,[1,2]\r"};
        QTest::newRow("refused room sets change nothing")
            << plain << QByteArrayList{"SRC 2,[1,2]\r", Ack, "SRC 2,[3,3]\r", Nak, "SRC 2,[1,2][2,3]\r", Nak,
                                       "SRC 2,1,2\r", Nak, "SRC 2,[1,2]x\r", Nak, "GRC 2\r", "GRC 2,[1,2]\r"};
        // The round trip on the other connection lets the device read the first part alone. A terminal's CR LF
        // ends one command; the empty line after it is no command. An overlong command is refused, and the rest
        // of it discarded up to its end.
        QTest::newRow("command split across reads")
            << plain << QByteArrayList{"GA\"Ga", "", "B GS \r", "S 0x0\r", "in 1\">1\r", "GA\"Gain 1\">1=0.0\r"};
        QTest::newRow("line ends of a terminal") << plain << QByteArrayList{"GS \r\n", "S 0x0\r", "GN 1\n", "GN 1,0\r"};
        const QByteArray overlong(SimConnection::MaxCommandBytes + 4000, 'A');
        QTest::newRow("overlong command") << plain << QByteArrayList{overlong, Nak, "AAAA\rGS \r", "S 0x0\r"};
        QTest::newRow("subscription to no query") << plain << QByteArrayList{"SUB \"HELLO\"\r", "SUB \"HELLO\",no\r"};
        QTest::newRow("malformed")
            << plain << QByteArrayList{"XYZ\r", Nak, "GA\"Gain 1\"\r", Nak, "SA \"Gain 1\">1\r", Nak, "GA Gain>1\r",
                                       Nak, "SS zz \r", Nak, "SG 1a\r", Nak, "GRC 0\r", Nak, "GL\r", Nak, "GL -1\r",
                                       Nak, "gs \r", Nak};
        // Subscribed, the other station's change is pushed; refused, nothing comes before the answer to the next
        // query. A level's and a room combination's pushes meet the panels' tests online.
        for (const auto &[name, query, set, push] : QList<std::array<QByteArray, 4>>{
                 {"push matrix", "GA\"Matrix\">0>5", "MA \"Matrix\">5=O\r", "GA\"Matrix\">0>5=O\r"},
                 {"push status", "GS ", "SS 2 \r", "S 0x2\r"}})
            QTest::newRow(name.constData()) << plain << QByteArrayList{"SUB\r", "SUB,yes\r", "SUB \"" + query + "\"\r",
                                                           "SUB \"" + query + "\",yes\r", "B " + set, Ack, "", push};
        QTest::newRow("subscriptions refused")
            << noSubscribe << QByteArrayList{"SUB\r", "SUB,no\r", "SUB \"GA\"Gain 1\">1\"\r",
                                             "SUB \"GA\"Gain 1\">1\",no\r", "B SA \"Gain 1\">1=-3.0\r", Ack,
                                             "GS \r", "S 0x0\r"};
        // Only changes are pushed, and only while subscribed; who sets a value it subscribed to gets the acknowledge
        // before the push; a room-combine subscription is given up under its key, ending in ",".
        QTest::newRow("push only for changes while subscribed")
            << plain << QByteArrayList{"SUB \"GA\"Gain 1\">1\"\r", "SUB \"GA\"Gain 1\">1\",yes\r",
                                       "B SA \"Gain 1\">1=0.0\r", Ack, "GS \r", "S 0x0\r",
                                       "SA \"Gain 1\">1=-3.0\r", Ack + ";GA\"Gain 1\">1=-3.0\r",
                                       "UNS \"GA\"Gain 1\">1\"\r", "UNS \"GA\"Gain 1\">1\",yes\r",
                                       "B SA \"Gain 1\">1=-6.0\r", Ack, "GA\"Gain 1\">1\r", "GA\"Gain 1\">1=-6.0\r",
                                       "SUB \"GRC 2\"\r", "SUB \"GRC 2\",yes\r", "UNS \"GRC 2,\"\r",
                                       "UNS \"GRC 2,\",yes\r", "B SRC 2,[1,2]\r", Ack, "GS \r", "S 0x0\r"};
        // Faults count the commands of each connection: a new one is served again; an unanswered command did nothing.
        QTest::newRow("every third dropped: no answer, no effect")
            << drop << QByteArrayList{"GS \r", "S 0x0\r", "GG 1\r", "GG 1,78\r", "SA \"G\">1=5\r", "",
                                      "GA\"G\">1\r", "GA\"G\">1=0.0\r"};
        QTest::newRow("every second refused")
            << refusing << QByteArrayList{"GS \r", "S 0x0\r", "SS 5 \r", Nak, "GS \r", "S 0x0\r", "GS \r", Nak};
        QTest::newRow("closed after two answers")
            << close
            << QByteArrayList{"GS \r", "S 0x0\r", "GG 1\r", "GG 1,78\r", "GN 1\r", "closed", "B GS \r", "S 0x0\r"};
        QTest::newRow("connections refused") << refuse << QByteArrayList{"GS \r", "closed"};
        // Back on its port after the pause, with what it was set to.
        QTest::newRow("restarting device keeps its values") << restart << QByteArrayList{
            "SA \"Gain 1\">1=-3.0\r", Ack, "", "closed", "B GA\"Gain 1\">1\r", "GA\"Gain 1\">1=-3.0\r"};
        for (const auto &[name, faults] : {std::pair{"silent after two: open, no answer, no effect", silent},
                                           std::pair{"stalled after two: open, nothing more read", stall}})
            QTest::newRow(name) << faults << QByteArrayList{"GS \r", "S 0x0\r", "GG 1\r", "GG 1,78\r", "SS 5 \r", "",
                                                            "GS \r", "", "B GS \r", "S 0x0\r"};
    }
    void exchanges()
    {
        QFETCH(SimFaults, faults);
        QFETCH(QByteArrayList, exchanges);
        commtest::SimPeer sim(faults);
        Peer a(sim.port());
        std::unique_ptr<Peer> b;
        for (int i = 0; i + 1 < exchanges.size(); i += 2) {
            const bool second = exchanges.at(i).startsWith("B ");
            const QByteArray command = second ? exchanges.at(i).mid(2) : exchanges.at(i), &reply = exchanges.at(i + 1);
            if (second && !b)
                QTRY_VERIFY_WITH_TIMEOUT((b = std::make_unique<Peer>(sim.port()), b->isConnected()), Timeout);
            Peer &peer = second ? *b : a;
            if (reply != "closed") {
                QVERIFY(peer.exchange(command, reply));
                continue;
            }
            peer.send(command);
            QTRY_VERIFY_WITH_TIMEOUT(!peer.isConnected(), Timeout);
            QCOMPARE(peer.received + peer.socket.readAll(), QByteArray());
            QTRY_COMPARE_WITH_TIMEOUT(sim.device->connectionCount(), int(a.isConnected()) + int(b && b->isConnected()),
                                      Timeout);
        }
        // Nothing came late, and only a connection the device closed is gone.
        QCOMPARE(a.received, QByteArray());
        QCOMPARE(a.isConnected(), !exchanges.contains("closed"));
    }

    // The clip mask, checked by hand here, is the reference of every report's.
    void levelReportLayout()
    {
        QCOMPARE(SimLevelMeter::clipMask({-20.0, -1.0, -60.0}), QStringLiteral("0"));
        QCOMPARE(SimLevelMeter::clipMask({-0.5, -10.0, 0.0, -1.0}), QStringLiteral("5"));
        QVector<double> dante(128, -30.0);
        dante[127] = 0.0;
        QCOMPARE(SimLevelMeter::clipMask(dante), QStringLiteral("8") + QString(31, QLatin1Char('0')));
        SimLog log;
        log.setQuiet(true);
        SimDeviceInfo info;
        info.port = 0;
        info.levelEntries = {{1, 4}, {0xB, 2}, {6, 128}};
        SimDevice device(info, SimFaults(), &log);
        QString error;
        commtest::mustListen(device.listen(QHostAddress::LocalHost, &error), error);
        simtest::OtherStation first(device.port()), second(device.port());
        static const QRegularExpression layout(
            QStringLiteral(R"(^GL (\S+) (\d+) (\d+) 100 ([0-9a-f]+) \[(-?\d+\.\d(?:,-?\d+\.\d)*)\]\r$)"));
        qulonglong lastSequence = 0;
        int i = 0;
        // A slot the design gives no count has eight entries.
        const QList<QPair<QString, int>> reports{{"1", 4}, {"B", 2}, {"6", 128}, {"5", 8}, {"b", 2}};
        for (const auto &[slot, count] : reports) {
            const QByteArray report = (i++ % 2 ? second : first).ask("GL " + slot.toLatin1());
            const QRegularExpressionMatch m = layout.match(QString::fromLatin1(report));
            QVERIFY2(m.hasMatch(), report.constData());
            QCOMPARE(m.captured(1) + ' ' + m.captured(3), slot + ' ' + QString::number(count));
            // The sequence rises with every report of the device, whoever asks.
            QVERIFY(m.captured(2).toULongLong() > lastSequence);
            lastSequence = m.captured(2).toULongLong();
            QVector<double> levels;
            for (const QString &value : m.captured(5).split(QLatin1Char(',')))
                levels.append(value.toDouble());
            QCOMPARE(levels.size(), count);
            QVERIFY2(std::all_of(levels.cbegin(), levels.cend(), [](double dB) { return dB >= -60 && dB <= 0; }),
                     report.constData());
            QCOMPARE(m.captured(4), SimLevelMeter::clipMask(levels));
        }
    }

    void delayedAnswersKeepTheirOrder()
    {
        SimFaults faults;
        faults.delayMs = 1000;
        commtest::SimPeer sim(faults);
        Peer listener(sim.port()), setter(sim.port());
        QVERIFY(listener.exchange("SUB \"GS \"\r", "SUB \"GS \",yes\r"));
        setter.send("GG 1\rSS 3 \rGS \r");
        // The device has answered and pushed, and holds it all back.
        QTRY_VERIFY_WITH_TIMEOUT(sim.device->delayedCount() >= 2, Timeout);
        QCOMPARE(setter.received + listener.received, QByteArray());
        QTRY_COMPARE_WITH_TIMEOUT(unjoined(setter.received), "GG 1,78\r" + Ack + "S 0x3\r", Timeout);
        // Pushes are answers too, and wait as long.
        QTRY_COMPARE_WITH_TIMEOUT(listener.received, QByteArray("S 0x3\r"), Timeout);
    }

    void consoleSetsValuesAndSilencesTheDevice()
    {
        commtest::SimPeer sim;
        Peer listener(sim.port());
        QVERIFY(listener.exchange("SUB \"GA\"Gain 1\">1\"\r", "SUB \"GA\"Gain 1\">1\",yes\r"));
        SimConsole console({sim.device.get()});
        // The value is the last word; the query keeps its blanks.
        QCOMPARE(console.execute(QStringLiteral("set GA\"Gain 1\">1 -12.5")), QStringLiteral("ok"));
        QVERIFY(listener.exchange("", "GA\"Gain 1\">1=-12.5\r"));
        QCOMPARE(sim.device->parameter(QStringLiteral("GA \"Gain 1\">1")), QStringLiteral("-12.5"));
        for (const char *bad : {"set SA \"Gain 1\">1=2 2", "set GS", "silent -1", "reboot"})
            QVERIFY2(console.execute(QString::fromLatin1(bad)).startsWith(QLatin1String("error: ")), bad);
        // Silent: the connection stays and hears nothing; no new one is taken.
        QCOMPARE(console.execute(QStringLiteral("silent 1")), QStringLiteral("ok"));
        QVERIFY(sim.device->isSilent() && listener.exchange("GS \r", QByteArray()));
        QVERIFY(!Peer(sim.port()).isConnected());
        QTRY_VERIFY_WITH_TIMEOUT(!sim.device->isSilent(), Timeout);
        // Connections are taken again, and the console's value is what they read.
        QVERIFY(listener.exchange("GS \r", "S 0x0\r"));
        QVERIFY(Peer(sim.port()).exchange("GA\"Gain 1\">1\r", "GA\"Gain 1\">1=-12.5\r"));
    }

    // Each step is an action and the status answer it must lead to. An action is a command, "ring:<caller>",
    // "hangup", or "wait" for the line's next automatic step; one after "!" must be refused.
    void callsThroughEveryState_data()
    {
        hwtest::columns<bool, QStringList>("voip", "steps");
        // Hold, resume and the end of a call by its own side meet the dialers' tests online.
        QTest::newRow("PSTN through dial tone")
            << false << QStringList{"CALL", "DIALTONE", "DIGIT 5", "DIALING&5", "DIGIT 5", "DIALING&55", "wait",
                                    "RINGBACK&55", "wait", "ACTIVE&55", "DIGIT 7", "ACTIVE&55"};
        QTest::newRow("engaged")
            << false << QStringList{"CALL 999", "DIALING&999", "wait", "BUSY&999", "END", "HANGUP"};
        QTest::newRow("caller name cleaned")
            << false << QStringList{"ring:Front; Desk&\"", "INCOMING&Front Desk", "ACCEPT", "ACTIVE&Front Desk",
                                    "hangup", "HANGUP"};
        QTest::newRow("call waiting by flash")
            << false << QStringList{"ring:A", "INCOMING&A", "ACCEPT", "ACTIVE&A", "ring:B", "ACTIVE_INCOMING&B",
                                    "FLASH", "ACTIVE&B", "END", "HOLD&A", "RESUME", "ACTIVE&A"};
        QTest::newRow("hold and accept")
            << true << QStringList{"ring:A", "\"INCOMING\"&\"A\"", "ACCEPT", "\"ACTIVE\"&\"A\"", "ring:B",
                                   "\"ACTIVE_INCOMING\"&\"B\"", "HOLDACCEPT", "\"ACTIVE\"&\"B\"", "END",
                                   "\"HOLD\"&\"A\""};
        QTest::newRow("end and accept, decline and stay")
            << false << QStringList{"ring:A", "INCOMING&A", "ACCEPT", "ACTIVE&A", "ring:B", "ACTIVE_INCOMING&B",
                                    "ENDACCEPT", "ACTIVE&B", "ring:C", "ACTIVE_INCOMING&C", "DECLINE", "ACTIVE&B"};
        QTest::newRow("what is no command, a second ring, the hang-up of no call")
            << false << QStringList{"!RING", "HANGUP", "!DIGIT 55", "HANGUP", "!DIGIT", "HANGUP", "!CALL 12a", "HANGUP",
                                    "!END now", "HANGUP", "!", "HANGUP", "!CALL " + QString("1234567890").repeated(7),
                                    "HANGUP", "!hangup", "HANGUP", "ring:A", "INCOMING&A", "!ring:B", "INCOMING&A"};
        QTest::newRow("a second call added")
            << true << QStringList{"CALL 1", "\"OUTGOING\"&\"1\"", "wait", "\"RINGBACK\"&\"1\"", "wait",
                                   "\"ACTIVE\"&\"1\"", "ADD", "\"DIALTONE\"", "END", "\"HOLD\"&\"1\"", "hangup",
                                   "\"IDLE\""};
    }
    void callsThroughEveryState()
    {
        QFETCH(bool, voip);
        QFETCH(QStringList, steps);
        SimPhoneSettings settings;
        // Automatic steps short, but long enough that two commands given at once land before the step.
        settings.stepMs = 40;
        settings.busyNumbers = {"999"};
        SimPhoneLine line("Line", voip ? SimPhoneLine::Kind::Voip : SimPhoneLine::Kind::Pstn, settings);
        for (int i = 0; i + 1 < steps.size(); i += 2) {
            const bool refused = steps[i].startsWith('!');
            const QString action = steps[i].mid(refused ? 1 : 0), &expected = steps[i + 1];
            if (action == "wait")
                QTRY_COMPARE_WITH_TIMEOUT(line.statusText(), expected, Timeout);
            else if (action.startsWith("ring:"))
                QVERIFY2(line.ring(action.mid(5)) != refused, qPrintable(steps[i]));
            else if (action == "hangup")
                QVERIFY2(line.farEndHangUp() != refused, qPrintable(steps[i]));
            else
                QVERIFY2(SimPhoneLine::isCommand(action) != refused && line.command(action) != refused,
                         qPrintable(steps[i]));
            QCOMPARE(line.statusText(), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestDeviceSim)
#include "tst_devicesim.moc"
