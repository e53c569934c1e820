#include "SimConnection.h"
#include "SimConsole.h"
#include "SimDevice.h"
#include "SimDeviceInfo.h"
#include "SimFaults.h"
#include "SimLevelMeter.h"
#include "SimLog.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <csignal>

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
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket,
                         [this] { received += socket.readAll(); });
        // The listening socket completes the handshake by itself, so the
        // device need not run its event loop for this to return.
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
QByteArray unjoined(QByteArray bytes)
{
    return bytes.replace(';', QByteArray());
}

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
        // Commands and the exact replies they get, in turn.
        QTest::addColumn<QByteArrayList>("exchanges");
        const QByteArray ack = Ack;
        const QByteArray nak = Nak;
        QTest::newRow("level") << QByteArrayList{"GA\"Gain 1\">1\r", "GA\"Gain 1\">1=0.0\r",
                                                 "SA \"Gain 1\">1=-5.0\r", ack,
                                                 "GA\"Gain 1\">1\r", "GA\"Gain 1\">1=-5.0\r",
                                                 "GA\"Gain 1\">2\r", "GA\"Gain 1\">2=0.0\r",
                                                 "GA\"Gain 2\">1\r", "GA\"Gain 2\">1=0.0\r"};
        QTest::newRow("two indexes") << QByteArrayList{"GA\"Gain 1\">3>4\r", "GA\"Gain 1\">3>4=0.0\r",
                                                       "SA \"G\">3>4=78\r", ack, "GA\"G\">3>4\r", "GA\"G\">3>4=78\r"};
        QTest::newRow("selector with blank") << QByteArrayList{"GA \"Sel 1\">2>1\r", "GA \"Sel 1\">2>1=1\r",
                                                               "SA \"Sel 1\">2>1=3\r", ack,
                                                               "GA \"Sel 1\">2>1\r", "GA \"Sel 1\">2>1=3\r"};
        QTest::newRow("defaults by name") << QByteArrayList{"GA\"Mic Mute\">1\r", "GA\"Mic Mute\">1=F\r",
                                                            "GA\"Source Select\">1\r", "GA\"Source Select\">1=1\r"};
        QTest::newRow("channel label") << QByteArrayList{"SA\"Label\">2=1\r", ack, "GA\"Label\">2\r",
                                                         "GA\"Label\">2=1\r"};
        QTest::newRow("matrix") << QByteArrayList{"MA \"Matrix\">5=O\r", ack, "GA\"Matrix\">0>5\r",
                                                  "GA\"Matrix\">0>5=O\r"};
        QTest::newRow("index written with zero") << QByteArrayList{"SA \"G\">01=2.5\r", ack, "GA\"G\">1\r",
                                                                   "GA\"G\">1=2.5\r"};
        QTest::newRow("text with blanks, last set wins")
            << QByteArrayList{"SA \"Room\">1=Board\r", ack, "SA \"Room\">1=Board Room A\r", ack,
                              "GA\"Room\">1\r", "GA\"Room\">1=Board Room A\r"};
        QTest::newRow("status") << QByteArrayList{"GS \r", "S 0x0\r", "SS 1f \r", ack, "GS \r", "S 0x1f\r"};
        QTest::newRow("group in either case") << QByteArrayList{"GG 1a\r", "GG 1a,78\r", "SG 1A,63\r", ack,
                                                                "GG 1a\r", "GG 1a,63\r"};
        QTest::newRow("numbered apart from group") << QByteArrayList{"GN 2\r", "GN 2,0\r", "SN 1a,1\r", ack,
                                                                     "GN 1a\r", "GN 1a,1\r", "GG 1a\r", "GG 1a,78\r"};
        QTest::newRow("rooms") << QByteArrayList{"GRC 2\r", "GRC 2,\r", "SRC 2,[1,2][3,4]\r", ack,
                                                 "GRC 2\r", "GRC 2,[1,2][3,4]\r", "GRC 1\r", "GRC 1,\r",
                                                 "SRC 2,\r", ack, "GRC 2\r", "GRC 2,\r"};
        QTest::newRow("single room joins nothing") << QByteArrayList{"SRC 2,[1,2][3]\r", ack, "GRC 2\r",
                                                                     "GRC 2,[1,2]\r"};
        QTest::newRow("refused room sets change nothing")
            << QByteArrayList{"SRC 2,[1,2]\r", ack,         "SRC 2,[3,3]\r", nak, "SRC 2,[1,2][2,3]\r", nak,
                              "SRC 2,1,2\r",   nak,         "SRC 2,[1,2]x\r", nak, "GRC 2\r", "GRC 2,[1,2]\r"};
        QTest::newRow("subscriptions") << QByteArrayList{"SUB\r", "SUB,yes\r",
                                                         "SUB \"GA\"Gain 1\">1\"\r", "SUB \"GA\"Gain 1\">1\",yes\r",
                                                         "UNS \"GA\"Gain 1\">1\"\r", "UNS \"GA\"Gain 1\">1\",yes\r",
                                                         "SUB \"HELLO\"\r", "SUB \"HELLO\",no\r"};
        QTest::newRow("malformed") << QByteArrayList{"XYZ\r", nak, "GA\"Gain 1\"\r", nak, "SA \"Gain 1\">1\r", nak,
                                                     "GA Gain>1\r", nak, "SS zz \r", nak, "SG 1a\r", nak,
                                                     "GRC 0\r", nak, "GL\r", nak, "GL -1\r", nak, "gs \r", nak};
    }
    void goldenReplies()
    {
        QFETCH(QByteArrayList, exchanges);
        auto device = startDevice();
        // Each on a connection of its own: values live in the device.
        for (int i = 0; i + 1 < exchanges.size(); i += 2) {
            Peer peer(device->port());
            QVERIFY(peer.exchange(exchanges.at(i), exchanges.at(i + 1)));
        }
    }

    void subscriptionPushesChanges_data()
    {
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<QByteArray>("set");
        QTest::addColumn<QByteArray>("push"); // none: the device takes no subscriptions
        QTest::newRow("level") << QByteArray("GA\"Gain 1\">1") << QByteArray("SA \"Gain 1\">1=-3.0\r")
                               << QByteArray("GA\"Gain 1\">1=-3.0\r");
        QTest::newRow("selector form") << QByteArray("GA \"Sel 1\">2>1") << QByteArray("SA \"Sel 1\">2>1=2\r")
                                       << QByteArray("GA \"Sel 1\">2>1=2\r");
        QTest::newRow("matrix") << QByteArray("GA\"Matrix\">0>5") << QByteArray("MA \"Matrix\">5=O\r")
                                << QByteArray("GA\"Matrix\">0>5=O\r");
        QTest::newRow("status") << QByteArray("GS ") << QByteArray("SS 2 \r") << QByteArray("S 0x2\r");
        QTest::newRow("group") << QByteArray("GG 1a") << QByteArray("SG 1A,70\r") << QByteArray("GG 1a,70\r");
        QTest::newRow("numbered") << QByteArray("GN 3") << QByteArray("SN 3,1\r") << QByteArray("GN 3,1\r");
        QTest::newRow("rooms") << QByteArray("GRC 2") << QByteArray("SRC 2,[1,2]\r") << QByteArray("GRC 2,[1,2]\r");
        QTest::newRow("refused") << QByteArray("GA\"Gain 1\">1") << QByteArray("SA \"Gain 1\">1=-3.0\r") << QByteArray();
    }
    void subscriptionPushesChanges()
    {
        QFETCH(QByteArray, query);
        QFETCH(QByteArray, set);
        QFETCH(QByteArray, push);
        SimFaults faults;
        faults.noSubscribe = push.isEmpty();
        auto device = startDevice(faults);
        Peer listener(device->port());
        Peer setter(device->port());
        const QByteArray answer = push.isEmpty() ? ",no\r" : ",yes\r";
        QVERIFY(listener.exchange("SUB\r", "SUB" + answer));
        QVERIFY(listener.exchange("SUB \"" + query + "\"\r", "SUB \"" + query + "\"" + answer));
        QVERIFY(setter.exchange(set, Ack));
        QTRY_COMPARE_WITH_TIMEOUT(listener.received, push, Timeout);
        // The device answers in order, so when the listener has the answer to
        // a later query, any push would have come before it.
        if (push.isEmpty())
            QVERIFY(listener.exchange("GS \r", "S 0x0\r"));
    }

    void pushOnlyForChangesWhileSubscribed()
    {
        auto device = startDevice();
        Peer listener(device->port());
        Peer setter(device->port());
        QVERIFY(listener.exchange("SUB \"GA\"Gain 1\">1\"\r", "SUB \"GA\"Gain 1\">1\",yes\r"));
        // The default value set again is no change.
        QVERIFY(setter.exchange("SA \"Gain 1\">1=0.0\r", Ack));
        QVERIFY(listener.exchange("GS \r", "S 0x0\r"));
        // Who sets a value it subscribed to gets the acknowledge before the push.
        QVERIFY(listener.exchange("SA \"Gain 1\">1=-3.0\r", Ack + ";GA\"Gain 1\">1=-3.0\r"));
        QVERIFY(listener.exchange("UNS \"GA\"Gain 1\">1\"\r", "UNS \"GA\"Gain 1\">1\",yes\r"));
        QVERIFY(setter.exchange("SA \"Gain 1\">1=-6.0\r", Ack));
        QVERIFY(listener.exchange("GA\"Gain 1\">1\r", "GA\"Gain 1\">1=-6.0\r"));
        // A room-combine subscription is given up under its key, which ends in ",".
        QVERIFY(listener.exchange("SUB \"GRC 2\"\r", "SUB \"GRC 2\",yes\r"));
        QVERIFY(listener.exchange("UNS \"GRC 2,\"\r", "UNS \"GRC 2,\",yes\r"));
        QVERIFY(setter.exchange("SRC 2,[1,2]\r", Ack));
        QVERIFY(listener.exchange("GS \r", "S 0x0\r"));
    }

    void levelReportLayout()
    {
        SimDeviceInfo info;
        info.nodeId = 4;
        info.levelEntries = {{1, 4}, {0xB, 2}, {6, 128}};
        auto device = startDevice(SimFaults(), info);
        Peer first(device->port());
        Peer second(device->port());
        static const QRegularExpression layout(
            QStringLiteral(R"(^GL (\S+) (\d+) (\d+) (\d+) ([0-9a-f]+) \[([^\s\]]*)\]\r$)"));
        const QList<QPair<QByteArray, int>> cases = {{"1", 4}, {"B", 2}, {"6", 128}, {"5", 8}, {"b", 2}};
        qulonglong lastSequence = 0;
        for (int i = 0; i < cases.size(); ++i) {
            Peer &peer = i % 2 ? second : first;
            peer.received.clear();
            peer.send("GL " + cases.at(i).first + "\r");
            QTRY_VERIFY_WITH_TIMEOUT(peer.received.endsWith('\r'), Timeout);
            const QString line = QString::fromLatin1(peer.received);
            const QRegularExpressionMatch m = layout.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            QCOMPARE(m.captured(1), QString::fromLatin1(cases.at(i).first));
            // The sequence rises with every report of the device, whoever asks.
            const qulonglong sequence = m.captured(2).toULongLong();
            QVERIFY(sequence > lastSequence);
            lastSequence = sequence;
            const int count = cases.at(i).second;
            QCOMPARE(m.captured(3).toInt(), count);
            QCOMPARE(m.captured(4).toInt(), SimLevelMeter::IntervalMs);
            const QStringList values = m.captured(6).split(QLatin1Char(','));
            QCOMPARE(values.size(), count);
            QVector<double> levels;
            static const QRegularExpression oneDecimal(QStringLiteral(R"(^-?\d+\.\d$)"));
            for (const QString &value : values) {
                QVERIFY2(oneDecimal.match(value).hasMatch(), qPrintable(value));
                const double level = value.toDouble();
                QVERIFY(level >= -60.0 && level <= 0.0);
                levels.append(level);
            }
            QCOMPARE(m.captured(5), SimLevelMeter::clipMask(levels));
        }
    }

    void levelsMoveSmoothlyAndSometimesClip()
    {
        const SimLevelMeter meter(42);
        const int count = 8;
        QVector<double> previous = meter.levels(3, count, 0);
        QVector<double> lowest = previous;
        QVector<double> highest = previous;
        int clips = 0;
        for (qint64 ms = SimLevelMeter::IntervalMs; ms <= 600000; ms += SimLevelMeter::IntervalMs) {
            const QVector<double> levels = meter.levels(3, count, ms);
            QCOMPARE(levels.size(), count);
            // Samples of one interval agree; time rounds down to the interval.
            QCOMPARE(meter.levels(3, count, ms + SimLevelMeter::IntervalMs - 1), levels);
            for (int i = 0; i < count; ++i) {
                QVERIFY(levels[i] >= -60.0 && levels[i] <= 0.0);
                QVERIFY2(qAbs(levels[i] - previous[i]) <= 8.0, "a meter jumped");
                lowest[i] = qMin(lowest[i], levels[i]);
                highest[i] = qMax(highest[i], levels[i]);
                if (levels[i] > SimLevelMeter::ClipMark)
                    ++clips;
            }
            previous = levels;
        }
        for (int i = 0; i < count; ++i)
            QVERIFY2(highest[i] - lowest[i] > 30.0, "a meter hardly moves");
        QVERIFY(clips > 0);
        QVERIFY(clips < count * 6000 / 20); // now and then, not all the time
        // Meters of other slots or devices move on their own.
        QVERIFY(meter.levels(4, count, 5000) != meter.levels(3, count, 5000));
        QVERIFY(SimLevelMeter(43).levels(3, count, 5000) != meter.levels(3, count, 5000));
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
        nak.nakEvery = 2;
        close.closeAfter = 2;
        refuse.refuse = true;
        silent.silentAfter = 2;
        stall.stallAfter = 2;
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
        Peer listener(device->port());
        Peer setter(device->port());
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

    void splitAndJoinedCommands()
    {
        auto device = startDevice();
        Peer peer(device->port());
        Peer other(device->port());
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
    }

    void overlongCommandIsRefused()
    {
        auto device = startDevice();
        Peer peer(device->port());
        peer.send(QByteArray(SimConnection::MaxCommandBytes + 4000, 'A'));
        QTRY_COMPARE_WITH_TIMEOUT(peer.received, Nak, Timeout);
        // The rest of the long line is discarded up to its end.
        peer.send("AAAA\rGS \r");
        QTRY_COMPARE_WITH_TIMEOUT(peer.received, Nak + "S 0x0\r", Timeout);
        QVERIFY(peer.isConnected());
    }

    void logShowsControlBytes()
    {
        QCOMPARE(SimLog::printable(QByteArray("\x06;GA\"G\">1=-3.0\r")), QStringLiteral("<ACK>;GA\"G\">1=-3.0<CR>"));
        QCOMPARE(SimLog::printable(QByteArray("\x15\x01\n")), QStringLiteral("<NAK><01><LF>"));
        QCOMPARE(SimLog::printable(QByteArray("SA \"Salle\xc3\xa9\">1=1")), QStringLiteral("SA \"Salle\u00e9\">1=1"));
    }

    void executableServesADesignUntilSignalled_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void executableServesADesignUntilSignalled()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir dir;
        const QString logPath = dir.filePath(QStringLiteral("sim.log"));
        QProcess sim;
        sim.start(QStringLiteral(KVR_SIM_PATH),
                  {QStringLiteral("--design"), QStringLiteral(KVR_TEST_DATA "/devicesim/conference_centre.kvp"),
                   QStringLiteral("--base-port"), QStringLiteral("0"), QStringLiteral("--log"), logPath});
        QVERIFY2(sim.waitForStarted(Timeout), qPrintable(sim.errorString()));
        // Each device names the port that the system picked.
        static const QRegularExpression listening(
            QStringLiteral(R"(device (\d) ([^\n]*) listening on 127\.0\.0\.1:(\d+)\n)"));
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += sim.readAllStandardOutput(), out.count('\n') == 3), Timeout);
        QMap<int, quint16> ports;
        QStringList names;
        QRegularExpressionMatchIterator it = listening.globalMatch(QString::fromUtf8(out));
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            ports.insert(m.captured(1).toInt(), quint16(m.captured(3).toUInt()));
            names.append(m.captured(2));
        }
        QCOMPARE(names, QStringList({"Boardroom DSP (ZMP-30)", QString::fromUtf8("Salle de réunion (XT-10C)"),
                                     "Training Amp (KA6200N)"}));
        {
            Peer dsp(ports.value(1));
            QVERIFY(dsp.exchange("SA \"Gain 1\">1=-5.0\r", Ack));
            QVERIFY(dsp.exchange("GA\"Gain 1\">1\r", "GA\"Gain 1\">1=-5.0\r"));
            // Each device keeps its own values. The endpoint's telephone card
            // meters two lines; its Dante card 32.
            Peer endpoint(ports.value(2));
            QVERIFY(endpoint.exchange("GA\"Gain 1\">1\r", "GA\"Gain 1\">1=0.0\r"));
            endpoint.send("GL B\rGL 7\r");
            QTRY_VERIFY_WITH_TIMEOUT(unjoined(endpoint.received).count('\r') == 2, Timeout);
            const QList<QByteArray> reports = unjoined(endpoint.received).split('\r');
            QVERIFY(reports.at(0).startsWith("GL B 1 2 100 "));
            QVERIFY(reports.at(1).startsWith("GL 7 2 32 100 "));
        }
        // A value changed at the devices from standard input.
        sim.write("set GA\"Gain 2\">1 -7.0\n");
        QTRY_VERIFY_WITH_TIMEOUT((out += sim.readAllStandardOutput(), out.endsWith("ok\n")), Timeout);
        {
            Peer dsp(ports.value(1));
            QVERIFY(dsp.exchange("GA\"Gain 2\">1\r", "GA\"Gain 2\">1=-7.0\r"));
        }
        ::kill(pid_t(sim.processId()), signalNumber);
        QVERIFY(sim.waitForFinished(Timeout));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        QVERIFY2(text.contains(QStringLiteral("< SA \"Gain 1\">1=-5.0")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("> GA\"Gain 1\">1=-5.0<CR>")));
        QVERIFY(text.contains(QStringLiteral("signal %1: stopping").arg(signalNumber)));
        QVERIFY(text.trimmed().endsWith(QStringLiteral("stopped")));
    }

    void executableRejectsBadCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << "frobnicate";
        QTest::newRow("two devices on one port")
            << QStringList{"--design", KVR_TEST_DATA "/devicesim/conference_centre.kvp"} << 1
            << "both use port 10055";
    }
    void executableRejectsBadCommandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QProcess sim;
        sim.start(QStringLiteral(KVR_SIM_PATH), arguments);
        QVERIFY(sim.waitForFinished(Timeout));
        QCOMPARE(sim.exitCode(), exitCode);
        const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
        QVERIFY2(err.contains(message), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestDeviceSim)
#include "tst_devicesim.moc"
