// The TCP client: connecting without blocking, cutting the received bytes
// into replies, the connection state machine with its reconnection, and
// the host check.

#include "../TransferPeers.h"
#include "CommTestUtil.h"

#include "PKVDProtocol.h"

#include <QFile>
#include <QTemporaryDir>

using namespace commtest;

Q_DECLARE_METATYPE(SimFaults)

namespace {

// A protocol that also counts how often it is asked to resynchronise.
class ResyncProtocol : public RecordingProtocol
{
public:
    void resynchronize() override { ++resyncs; }
    int resyncs = 0;
};

// A stand-in for ping that notes its arguments and locale (a line per run)
// in "called", then answers with the exit status it was given (after
// running extra).
QString writePingScript(const QTemporaryDir &dir, int exitCode, const QByteArray &extra = QByteArray())
{
    const QString path = dir.filePath(QStringLiteral("ping"));
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\necho \"$LC_ALL $*\" >> \"" + dir.filePath(QStringLiteral("called")).toUtf8()
                 + "\"\n" + extra + "\nexit " + QByteArray::number(exitCode) + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// Queues count queries that wait wait ms each, as G>0, G>1 and so on.
void queries(ITcpClient &client, int count, int wait)
{
    for (int i = 0; i < count; ++i)
        client.send("GA\"G\">" + QByteArray::number(i) + "\r", IInterface::ReplyExpected,
                    QStringLiteral("GA\"G\">%1=").arg(i), wait);
}

} // namespace

class tst_TcpClient : public QObject
{
    Q_OBJECT

private slots:
    void sendWithoutSocketAnswersZero()
    {
        ITcpClient client;
        QCOMPARE(client.send("GA\"G\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">1="), 200), 0u);
        QCOMPARE(client.send("SUB\r", IInterface::Immediate, QStringLiteral("SUB"), 200), 0u);
        QVERIFY(!client.dispatcher()->isPending("GA\"G\">1\r"));
        QCOMPARE(client.connectionState(), int(ITcpClient::Idle));
        QVERIFY(!client.close());
        // Running and Reconnecting are read where the client reaches them.
        QCOMPARE((QStringList{client.statusText(), ITcpClient::stateText(ITcpClient::Connecting),
                              ITcpClient::stateText(ITcpClient::Resetting), ITcpClient::stateText(9)}),
                 (QStringList{" - Offline - Idle", " - Offline - Connecting", " - Offline - Resetting",
                              " - Unknown State"}));
    }

    void replyFraming_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("two replies in one read") << QList<QByteArray>{"A;B;\r"} << QList<QByteArray>{"A", "B"};
        QTest::newRow("a lone CR yields nothing, the next line comes through")
            << QList<QByteArray>{"\r", "C\r"} << QList<QByteArray>{"C"};
        QTest::newRow("joined answers with CR before the separator")
            << QList<QByteArray>{"GA\"G\">1=2\r;GA\"G\">2=3\r"} << QList<QByteArray>{"GA\"G\">1=2", "GA\"G\">2=3"};
        QTest::newRow("acknowledges need no line end")
            << QList<QByteArray>{QByteArray(1, Ack) + ';' + QByteArray(1, Ack)}
            << QList<QByteArray>{QByteArray(1, Ack), QByteArray(1, Ack)};
        QTest::newRow("a line split across two reads")
            << QList<QByteArray>{"GA\"Gain 1\">1=", "-3.5\r"} << QList<QByteArray>{"GA\"Gain 1\">1=-3.5"};
        QTest::newRow("a split at the separator")
            << QList<QByteArray>{"S 0x1f", ";GG 1a,78\r"} << QList<QByteArray>{"S 0x1f", "GG 1a,78"};
    }
    void replyFraming()
    {
        QFETCH(QList<QByteArray>, chunks);
        Online<RecordingProtocol> online;
        // Long enough that a slow machine does not cut a line the test splits.
        online.client->setTailFlushInterval(2000);
        for (const QByteArray &chunk : chunks) {
            online.peer.send(chunk);
            // The client has read the chunk when it holds it as its tail or
            // has made a reply of it.
            QTRY_VERIFY_WITH_TIMEOUT(!online.client->unterminatedTail().isEmpty() || !online.protocol.lines.isEmpty()
                                         || chunk == "\r",
                                     Timeout);
        }
        QFETCH(QList<QByteArray>, lines);
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines, lines, Timeout);
        QVERIFY(online.client->unterminatedTail().isEmpty());
    }

    void unterminatedTailIsFlushedAfterSilence()
    {
        Online<RecordingProtocol> online;
        online.peer.send("Z=1");
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines, QList<QByteArray>{"Z=1"}, Timeout);
        QVERIFY(online.client->unterminatedTail().isEmpty());
    }

    void replySplitAcrossASlowLinkArrivesWhole()
    {
        // The device writes "...=-12" and ".5<CR>" 80 ms later: the first
        // part reads as a value of its own and must not be taken for the
        // answer.
        SimFaults faults;
        faults.splitReplies = faults.noSubscribe = true;
        SimPeer sim(faults);
        QString error;
        QVERIFY(sim.device->setParameter(QStringLiteral("GA\"Gain 1\">1"), QStringLiteral("-12.5"), &error));
        PKVDProtocol protocol;
        auto client = runningClient(&protocol, sim.port(), true);
        client->setTailFlushInterval(20);
        Binding control(QStringLiteral("Gain 1"), 0, 1);
        QVERIFY(protocol.poll(&control.transform));
        QTRY_COMPARE_WITH_TIMEOUT(control.transform.replies, QStringList{"-12.5"}, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
        QCOMPARE(control.transform.replies, QStringList{"-12.5"});
    }

    void connectingGoesOnline()
    {
        RawPeer peer;
        RecordingProtocol protocol;
        ITcpClient client;
        client.setProtocol(&protocol);
        client.setAddress(QStringLiteral("127.0.0.1"));
        client.setPort(peer.port());
        QSignalSpy states(&client, &IInterface::interfaceStateChanged);
        QSignalSpy active(&client, &ITcpClient::connectionActive);
        // Opening never waits for the connection: it answers that an attempt
        // is under way, and the connection is made by the event loop.
        QVERIFY(client.open());
        QCOMPARE(client.connectionState(), int(ITcpClient::Connecting));
        QVERIFY(!client.isConnected());
        QTRY_COMPARE_WITH_TIMEOUT(client.connectionState(), int(ITcpClient::Running), Timeout);
        QVERIFY(client.isConnected() && client.dispatcher()->isProcessing());
        QCOMPARE(client.statusText(), QStringLiteral(" - Online - Running"));
        QCOMPARE(active.count(), 1);
        QCOMPARE(states.last().at(0).toBool(), true);
        QCOMPARE(protocol.onlineCalls, QList<bool>{true});
        // Immediate mode writes at once and arms the host check.
        QCOMPARE(client.send("SUB\r", IInterface::Immediate, QStringLiteral("SUB"), 200), 4u);
        QVERIFY(client.hostCheck()->isArmed());
        QTRY_COMPARE_WITH_TIMEOUT(peer.received, QByteArray("SUB\r"), Timeout);
    }

    void closeReturnsAtOnceAndGoesOffline()
    {
        Online<RecordingProtocol> online;
        auto &client = online.client;
        QSignalSpy closed(client.get(), &IInterface::connectionClose);
        // The goodbye is left to the socket: close() returns with the client
        // offline, before the device has seen the connection end.
        QVERIFY(client->close());
        QCOMPARE(online.peer.socket()->state(), QAbstractSocket::ConnectedState);
        QCOMPARE(client->connectionState(), int(ITcpClient::Idle));
        QVERIFY(!client->isConnected() && !client->hasSocket() && !client->dispatcher()->isProcessing());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(online.protocol.onlineCalls, (QList<bool>{true, false}));
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.socket()->state(), QAbstractSocket::UnconnectedState, Timeout);
        // Offline on purpose: nothing is sent, nothing is pinged and no
        // reconnection follows.
        QCOMPARE(client->send("GA\"G\">1\r", IInterface::ReplyExpected, QString(), 200), 0u);
        client->armHostCheck();
        QVERIFY(!client->hostCheck()->isArmed());
        QCOMPARE(online.peer.connections(), 1);
    }

    void reconnectsAfterTheDeviceClosed()
    {
        Online<RecordingProtocol> online;
        auto &client = online.client;
        client->armHostCheck();
        QVERIFY(client->hostCheck()->isArmed());
        online.peer.socket()->disconnectFromHost();
        QTRY_VERIFY_WITH_TIMEOUT(!client->isConnected(), Timeout);
        QCOMPARE(client->connectionState(), int(ITcpClient::Reconnecting));
        QCOMPARE(client->statusText(), QStringLiteral(" - Offline - Reconnecting"));
        // A device that is away is not pinged: it is being connected again.
        QVERIFY(!client->hostCheck()->isArmed());
        client->armHostCheck();
        QVERIFY(!client->hostCheck()->isArmed());
        QTRY_COMPARE_WITH_TIMEOUT(client->connectionState(), int(ITcpClient::Running), Timeout);
        QCOMPARE(online.peer.connections(), 2);
        QCOMPARE(online.protocol.onlineCalls, (QList<bool>{true, false, true}));
    }

    void retriesUntilTheDeviceIsBack()
    {
        const quint16 port = transfertest::freePort();
        RecordingProtocol protocol;
        auto client = openClient(&protocol, port);
        QTRY_COMPARE_WITH_TIMEOUT(client->connectionState(), int(ITcpClient::Reconnecting), Timeout);
        QTcpServer device;
        QVERIFY(device.listen(QHostAddress::LocalHost, port));
        QTRY_COMPARE_WITH_TIMEOUT(client->connectionState(), int(ITcpClient::Running), Timeout);
        QCOMPARE(protocol.onlineCalls, QList<bool>{true});
    }

    void thirteenFailuresResetTheConnection()
    {
        // Connected, but the device answers nothing: no socket event will
        // ever come, and the failures alone must reset the connection.
        Online<RecordingProtocol> online;
        auto &client = online.client;
        queries(*client, 5, 10);
        QTRY_VERIFY_WITH_TIMEOUT(!client->isConnected(), Timeout);
        QCOMPARE(online.failures->count(), ITcpClient::MaxSendErrors);
        QCOMPARE(client->connectionState(), int(ITcpClient::Reconnecting));
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.sockets.first()->state(), QAbstractSocket::UnconnectedState, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(client->connectionState(), int(ITcpClient::Running), Timeout);
        QCOMPARE(online.peer.connections(), 2);
        QCOMPARE(client->sendErrorCount(), 0);
        QCOMPARE(online.protocol.onlineCalls, (QList<bool>{true, false, true}));
    }

    void resetDuringTheHandshakeStartsTheNextConnectionClean()
    {
        // The device answers nothing: the handshake fails three times, nine
        // query attempts follow, and the thirteenth failure, a "SUB" that
        // timed out, resets the connection. Its late time-out must not leave
        // the next connection believing the device's answer known.
        RawPeer peer;
        peer.answer = [&peer](const QByteArray &line) {
            return peer.connections() > 1 && line == "SUB" ? QByteArray("SUB,yes\r") : QByteArray();
        };
        PKVDProtocol protocol;
        auto client = runningClient(&protocol, peer.port());
        QTRY_COMPARE_WITH_TIMEOUT(client->sendErrorCount(), 3, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
        queries(*client, 3, 10);
        client->send("SUB\r", IInterface::ReplyExpected, QStringLiteral("SUB"), 10);
        QTRY_COMPARE_WITH_TIMEOUT(peer.connections(), 2, Timeout);
        // The new connection asks afresh.
        QTRY_VERIFY_WITH_TIMEOUT(client->isConnected() && protocol.isSubscribed(), Timeout);
        QCOMPARE(peer.count("SUB\r"), 5);
        QCOMPARE(client->streaming(), quint8(1));
    }

    void silentDeviceIsFoundWhileStreaming_data()
    {
        QTest::addColumn<SimFaults>("faults");
        SimFaults silent, stalled;
        silent.silentAfter = 3;
        stalled.stallAfter = 3;
        QTest::newRow("answers nothing") << silent;
        QTest::newRow("reads nothing") << stalled;
    }
    void silentDeviceIsFoundWhileStreaming()
    {
        // Streaming, and the one control subscribed: nothing is asked of the
        // device any more. After the handshake, the subscription and the read
        // of the value it falls silent with the connection open; the probe
        // finds it and the connection is made again.
        QFETCH(SimFaults, faults);
        SimPeer sim(faults);
        PKVDProtocol protocol;
        auto client = runningClient(&protocol, sim.port(), true);
        QSignalSpy states(client.get(), &IInterface::interfaceStateChanged);
        Binding control(QStringLiteral("Gain 1"), 0, 1);
        QVERIFY(protocol.poll(&control.transform));
        QTRY_COMPARE_WITH_TIMEOUT(control.transform.replies, QStringList{"0.0"}, Timeout);
        QCOMPARE(client->sendErrorCount(), 0);
        // The user's change goes into the silence; it is not lost with the link.
        control.transform.setValueText(QStringLiteral("-3.0"));
        QVERIFY(protocol.sendValue(&control.transform));
        QTRY_VERIFY_WITH_TIMEOUT(!client->isConnected(), 2 * Timeout);
        QVERIFY(!states.isEmpty() && !states.last().at(0).toBool());
        QTRY_VERIFY_WITH_TIMEOUT(client->isConnected() && protocol.isSubscribed(), 2 * Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(sim.device->parameter(QStringLiteral("GA\"Gain 1\">1")), QStringLiteral("-3.0"),
                                  Timeout);
    }

    void unconfirmedSetIsSentOnTheNextConnection()
    {
        // The device takes the set but goes before it acknowledges it: the
        // user's change goes out again on the next connection, only its
        // newest value, and nothing else of the old connection does.
        RawPeer peer;
        peer.answer = [&peer](const QByteArray &line) {
            return peer.connections() > 1 && line.startsWith("SA") ? QByteArray(1, Ack) : QByteArray();
        };
        RecordingProtocol protocol;
        auto client = runningClient(&protocol, peer.port());
        client->sendSet("SA \"G\">1=1\r", "SA \"G\">1=", 4000);
        QTRY_COMPARE_WITH_TIMEOUT(peer.count("SA \"G\">1=1\r"), 1, Timeout);
        client->sendSet("SA \"G\">1=2\r", "SA \"G\">1=", 4000);
        client->send("GA\"G\">2\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">2="), 4000);
        client->sendSet("SA \"G\">1=3\r", "SA \"G\">1=", 4000);
        peer.socket()->disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(peer.connections(), 2, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(peer.received.endsWith("SA \"G\">1=3\r"), Timeout);
        QCOMPARE(peer.received, QByteArray("SA \"G\">1=1\rSA \"G\">1=3\r"));
        QCOMPARE(client->carriedSetCount(), 0);
    }

    void resynchronizing()
    {
        RawPeer peer;
        ResyncProtocol protocol;
        auto client = runningClient(&protocol, peer.port());
        client->setStreaming(1);
        QVERIFY(client->isStreamingSet());
        client->resynchronize();
        QCOMPARE(protocol.resyncs, 1);
        QVERIFY(!client->isStreamingSet());
        QCOMPARE(client->streaming(), quint8(0));
        client->close();
        client->resynchronize();
        QCOMPARE(protocol.resyncs, 1);
        QCOMPARE(protocol.onlineCalls, (QList<bool>{true, false, false}));
    }

    void hostCheck_data()
    {
        QTest::addColumn<int>("exitCode"); // of the ping stand-in; -1: no ping at all
        QTest::addColumn<bool>("probe");
        QTest::newRow("host does not answer: the connection is probed") << 1 << true;
        QTest::newRow("host answers: nothing is written") << 0 << false;
        QTest::newRow("ping cannot try (status 2): one warning, no probe") << 2 << false;
        QTest::newRow("no ping: one warning, the check goes on") << -1 << false;
    }
    void hostCheck()
    {
        QFETCH(int, exitCode);
        QFETCH(bool, probe);
        QTemporaryDir dir;
        Online<RecordingProtocol> online;
        auto &client = online.client;
        online.protocol.probe = "SUB\r";
        client->hostCheck()->setProgram(exitCode < 0 ? QStringLiteral("/nonexistent/ping")
                                                     : writePingScript(dir, exitCode));
        client->hostCheck()->setInterval(20);
        const bool cannotRun = exitCode < 0 || exitCode == 2;
        if (cannotRun) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("The host check cannot run"));
            QTest::failOnWarning(QRegularExpression("The host check cannot run"));
        }
        client->armHostCheck();
        // Each judged ping arms the check again.
        QTRY_VERIFY_WITH_TIMEOUT(client->hostCheck()->count() >= 3, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.received.startsWith("SUB\r"), probe, Timeout);
        if (!probe)
            QVERIFY(online.peer.received.isEmpty());
        if (cannotRun) {
            QTRY_VERIFY_WITH_TIMEOUT(client->hostCheck()->isArmed(), Timeout);
            QVERIFY(client->isConnected());
            return;
        }
        QFile called(dir.filePath(QStringLiteral("called")));
        QVERIFY(called.open(QIODevice::ReadOnly));
        QCOMPARE(called.readLine().trimmed(), QByteArray("C -n -c 1 -W 2 127.0.0.1"));
    }

    void stoppedPingIsNeverJudged()
    {
        // A ping under way is killed when its connection closes; armed again
        // at once for the next connection, the check must not take the
        // killed ping for a host that does not answer.
        QTemporaryDir dir;
        IHostCheck check;
        QSignalSpy unreachable(&check, &IHostCheck::hostUnreachable);
        check.setProgram(writePingScript(dir, 0, "sleep 20"));
        check.setHost(QStringLiteral("127.0.0.1"));
        check.setInterval(10);
        check.arm();
        QTRY_VERIFY_WITH_TIMEOUT(check.isPinging(), Timeout);
        check.stop();
        check.setInterval(60000);
        check.arm();
        QTRY_VERIFY_WITH_TIMEOUT(!check.isPinging(), Timeout);
        QVERIFY(check.isArmed());
        QCOMPARE(unreachable.count(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_TcpClient)
#include "tst_tcpclient.moc"
