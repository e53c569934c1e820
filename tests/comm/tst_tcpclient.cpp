// The TCP client: connecting without blocking, cutting the received bytes into replies, its dispatcher (one command at
// a time, answers matched to the command that waits, at most three writes), the connection state machine with its
// reconnection, and the host check.

#include "CommTestUtil.h"

#include "PKVDProtocol.h"

#include <QFile>
#include <QTemporaryDir>

using namespace commtest;

Q_DECLARE_METATYPE(SimFaults)

namespace {
// A stand-in for ping that notes its locale and arguments in "called", runs extra and exits with exitCode.
QString writePingScript(const QTemporaryDir &dir, int exitCode, const QByteArray &extra = QByteArray())
{
    QFile script(dir.filePath(QStringLiteral("ping")));
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\necho \"$LC_ALL $*\" >> \"" + dir.filePath(QStringLiteral("called")).toUtf8()
                 + "\"\n" + extra + "\nexit " + QByteArray::number(exitCode) + "\n");
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script.fileName();
}
} // namespace

class tst_TcpClient : public QObject
{
    Q_OBJECT
private slots:
    void replyFraming_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<int>("flushMs"); // the silence after which an unterminated tail is a reply
        // Long enough that a slow machine does not cut a line the test splits.
        const auto row = [](const char *name, QList<QByteArray> chunks, QList<QByteArray> lines, int flush = 2000) {
            QTest::newRow(name) << chunks << lines << flush;
        };
        row("two replies in one read", {"A;B;\r"}, {"A", "B"});
        row("a lone CR yields nothing, the next line comes through", {"\r", "C\r"}, {"C"});
        row("joined answers with CR before the separator", {"GA\"G\">1=2\r;GA\"G\">2=3\r"},
            {"GA\"G\">1=2", "GA\"G\">2=3"});
        row("acknowledges need no line end", {QByteArray(1, Ack) + ';' + QByteArray(1, Ack)},
            {QByteArray(1, Ack), QByteArray(1, Ack)});
        row("a split at the separator", {"S 0x1f", ";GG 1a,78\r"}, {"S 0x1f", "GG 1a,78"});
        row("an unterminated tail is flushed after silence", {"Z=1"}, {"Z=1"}, 20);
    }
    void replyFraming()
    {
        QFETCH(QList<QByteArray>, chunks);
        Online<RecordingProtocol> online;
        QFETCH(int, flushMs);
        online.client->setTailFlushInterval(flushMs);
        for (const QByteArray &chunk : chunks) {
            online.peer.send(chunk);
            // Read once the client holds it as its tail or made a reply of it.
            QTRY_VERIFY_WITH_TIMEOUT(chunk == "\r" || !online.client->unterminatedTail().isEmpty()
                                         || !online.protocol.lines.isEmpty(), Timeout);
        }
        QFETCH(QList<QByteArray>, lines);
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines, lines, Timeout);
        QVERIFY(online.client->unterminatedTail().isEmpty());
    }

    void connectingReconnectingAndClosingNeverWait()
    {
        RawPeer peer;
        RecordingProtocol protocol;
        ITcpClient client;
        // Without a socket nothing is written or queued, and nothing is open to close.
        QCOMPARE(client.send("GA\"G\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">1="), 200), 0u);
        QCOMPARE(client.send("SUB\r", IInterface::Immediate, QStringLiteral("SUB"), 200), 0u);
        QVERIFY(!client.dispatcher()->isPending("GA\"G\">1\r") && !client.close());
        QCOMPARE(client.statusText(), QStringLiteral(" - Offline - Idle"));
        client.setProtocol(&protocol);
        client.setAddress(QStringLiteral("127.0.0.1"));
        client.setPort(peer.port());
        QSignalSpy states(&client, &IInterface::interfaceStateChanged);
        QSignalSpy active(&client, &ITcpClient::connectionActive);
        // Opening only starts an attempt; the event loop connects.
        QVERIFY(client.open() && !client.isConnected());
        QCOMPARE(client.connectionState(), int(ITcpClient::Connecting));
        QTRY_COMPARE_WITH_TIMEOUT(client.connectionState(), int(ITcpClient::Running), Timeout);
        QVERIFY(client.isConnected() && client.dispatcher()->isProcessing());
        QCOMPARE((QList<int>{int(active.count()), states.last().at(0).toBool()}), (QList<int>{1, true}));
        // Immediate mode writes at once and arms the host check.
        QCOMPARE(client.send("SUB\r", IInterface::Immediate, QStringLiteral("SUB"), 200), 4u);
        QVERIFY(client.hostCheck()->isArmed());
        QTRY_COMPARE_WITH_TIMEOUT(peer.received, QByteArray("SUB\r"), Timeout);
        // The device closes: a device that is away is not pinged, it is being connected again.
        peer.socket()->disconnectFromHost();
        QTRY_VERIFY_WITH_TIMEOUT(!client.isConnected(), Timeout);
        QCOMPARE(client.statusText(), QStringLiteral(" - Offline - Reconnecting"));
        QVERIFY(!client.hostCheck()->isArmed());
        client.armHostCheck();
        QVERIFY(!client.hostCheck()->isArmed());
        QTRY_COMPARE_WITH_TIMEOUT(client.connectionState(), int(ITcpClient::Running), Timeout);
        QCOMPARE(peer.connections(), 2);
        QCOMPARE(protocol.onlineCalls, (QList<bool>{true, false, true}));
        // Resynchronising asks the protocol and the device again.
        client.setStreaming(1);
        client.resynchronize();
        QCOMPARE((QList<int>{protocol.resyncs, client.isStreamingSet(), client.streaming()}), (QList<int>{1, 0, 0}));
        // close() leaves the goodbye to the socket and returns offline.
        QSignalSpy closed(&client, &IInterface::connectionClose);
        QVERIFY(client.close());
        QCOMPARE(peer.socket()->state(), QAbstractSocket::ConnectedState);
        QCOMPARE((QList<int>{client.connectionState(), int(closed.count())}), (QList<int>{ITcpClient::Idle, 1}));
        QVERIFY(!client.isConnected() && !client.hasSocket() && !client.dispatcher()->isProcessing());
        QCOMPARE(protocol.onlineCalls, (QList<bool>{true, false, true, false}));
        QTRY_COMPARE_WITH_TIMEOUT(peer.socket()->state(), QAbstractSocket::UnconnectedState, Timeout);
        // Offline on purpose: nothing is sent, pinged or connected again;
        // resynchronising only tells the protocol it is offline.
        QCOMPARE(client.send("GA\"G\">1\r", IInterface::ReplyExpected, QString(), 200), 0u);
        client.armHostCheck();
        QVERIFY(!client.hostCheck()->isArmed());
        client.resynchronize();
        QCOMPARE((QList<int>{protocol.resyncs, peer.connections()}), (QList<int>{1, 2}));
        QCOMPARE(protocol.onlineCalls, (QList<bool>{true, false, true, false, false}));
    }

    void thirteenFailuresResetTheConnection()
    {
        // Connected, but the device answers nothing: no socket event comes, and the failures alone reset the
        // connection: the handshake fails three times, nine query attempts follow, and the thirteenth, a "SUB" that
        // timed out, resets. Its late time-out must not leave the next connection believing the device's answer known.
        RawPeer peer;
        peer.answer = [&peer](const QByteArray &line) {
            return peer.connections() > 1 && line == "SUB" ? QByteArray("SUB,yes\r") : QByteArray();
        };
        PKVDProtocol protocol;
        auto client = runningClient(&protocol, peer.port());
        QSignalSpy failures(client->dispatcher(), &ITcpClientThread::messageError);
        QTRY_COMPARE_WITH_TIMEOUT(client->sendErrorCount(), 3, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
        for (int i = 0; i < 3; ++i)
            query(*client, "G", i, 10);
        client->send("SUB\r", IInterface::ReplyExpected, QStringLiteral("SUB"), 10);
        QTRY_VERIFY_WITH_TIMEOUT(!client->isConnected(), Timeout);
        QCOMPARE((QList<int>{int(failures.count()), client->connectionState()}),
                 (QList<int>{ITcpClient::MaxSendErrors, ITcpClient::Reconnecting}));
        QTRY_COMPARE_WITH_TIMEOUT(peer.sockets.first()->state(), QAbstractSocket::UnconnectedState, Timeout);
        // The new connection asks afresh.
        QTRY_VERIFY_WITH_TIMEOUT(client->isConnected() && protocol.isSubscribed(), Timeout);
        QCOMPARE((QList<int>{peer.connections(), client->sendErrorCount(), peer.count("SUB\r"), client->streaming()}),
                 (QList<int>{2, 0, 5, 1}));
    }

    void silentDeviceIsFoundWhileStreaming_data()
    {
        QTest::addColumn<SimFaults>("faults");
        SimFaults silent, stalled;
        silent.silentAfter = stalled.stallAfter = 3;
        QTest::newRow("answers nothing") << silent;
        QTest::newRow("reads nothing") << stalled;
    }
    void silentDeviceIsFoundWhileStreaming()
    {
        // Streaming with the one control subscribed, nothing more is asked; the device falls silent with the connection
        // open, the probe finds it and the connection is made again.
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
        QVERIFY(control.send(protocol, QStringLiteral("-3.0")));
        QTRY_VERIFY_WITH_TIMEOUT(!client->isConnected(), 2 * Timeout);
        QVERIFY(!states.isEmpty() && !states.last().at(0).toBool());
        QTRY_VERIFY_WITH_TIMEOUT(client->isConnected() && protocol.isSubscribed(), 2 * Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(sim.device->parameter(QStringLiteral("GA\"Gain 1\">1")), QStringLiteral("-3.0"),
                                  Timeout);
    }

    void unconfirmedSetIsSentOnTheNextConnection()
    {
        // The device goes before it acknowledges a set: only the newest value
        // goes out again on the next connection, nothing else of the old one.
        RawPeer peer;
        peer.answer = [&peer](const QByteArray &line) {
            return peer.connections() > 1 && line.startsWith("SA") ? QByteArray(1, Ack) : QByteArray();
        };
        RecordingProtocol protocol;
        auto client = runningClient(&protocol, peer.port());
        client->sendSet("SA \"G\">1=1\r", "SA \"G\">1=", 4000);
        QTRY_COMPARE_WITH_TIMEOUT(peer.count("SA \"G\">1=1\r"), 1, Timeout);
        client->sendSet("SA \"G\">1=2\r", "SA \"G\">1=", 4000);
        query(*client, "G", 2, 4000);
        client->sendSet("SA \"G\">1=3\r", "SA \"G\">1=", 4000);
        peer.socket()->disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(peer.connections(), 2, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(peer.received.endsWith("SA \"G\">1=3\r"), Timeout);
        QCOMPARE(peer.received, QByteArray("SA \"G\">1=1\rSA \"G\">1=3\r"));
        QCOMPARE(client->carriedSetCount(), 0);
    }

    // The dispatcher step by step against a raw peer. Steps: "answerSets B" (the peer's answer to every set), "ack C"
    // and "ask W C" (C expecting an acknowledge, or a reply within W ms), "end" (a command that expects nothing: its
    // arrival tells that all before it are done), "ended", "waiting", "reply B", "sent N C", "lines A|B",
    // "timeouts A|B", "failures N", "errors N" (the client's count), "stream", "idle".
    void dispatcher_data()
    {
        QTest::addColumn<QByteArrayList>("steps");
        const QByteArray ack(1, Ack), sa = "SA \"G\">1=1";
        // A long answer time: what follows goes out because the byte settled it.
        QTest::newRow("ACK completes the command")
            << QByteArrayList{"answerSets " + ack, "ack " + sa, "end", "ended", "sent 1 " + sa, "failures 0", "lines ",
                              "timeouts "};
        QTest::newRow("NAK: written three times, then dropped") << QByteArrayList{
            "answerSets \x15", "ack " + sa, "end", "ended", "sent 3 " + sa, "failures 3", "lines ", "timeouts "};
        QTest::newRow("bytes behind an ACK are a line of their own")
            << QByteArrayList{"answerSets " + ack + "GA\"G\">1=3\r", "ack " + sa, "end", "ended", "sent 1 " + sa,
                              "failures 0", "lines GA\"G\">1=3", "timeouts "};
        // Only the answer settles a command; other lines are routed meanwhile.
        QTest::newRow("another parameter")
            << QByteArrayList{"ask 4000 GA\"G\">1", "end", "sent 1 GA\"G\">1", "reply GA\"G\">2=7", "lines GA\"G\">2=7",
                              "waiting", "reply GA\"G\">1=5", "ended", "lines GA\"G\">2=7|GA\"G\">1=5",
                              "sent 1 GA\"G\">1", "failures 0"};
        QTest::newRow("a push while a subscription waits")
            << QByteArrayList{"stream", "ask 4000 SUB \"GA\"A\">1\"", "end", "sent 1 SUB \"GA\"A\">1\"",
                              "reply GA\"B\">1=4", "lines GA\"B\">1=4", "waiting", "reply SUB \"GA\"A\">1\",yes", "ended",
                              "lines GA\"B\">1=4|SUB \"GA\"A\">1\",yes", "sent 1 SUB \"GA\"A\">1\"", "failures 0"};
        // The first query fails three times, and the protocol hears of each; its late answer is routed, and the next
        // one's answer resets the errors. An idle connection schedules nothing.
        QTest::newRow("late answer routed, not taken by the next command")
            << QByteArrayList{"ask 20 GA\"A\">1", "ask 4000 GA\"B\">1", "sent 1 GA\"B\">1", "failures 3", "errors 3",
                              "timeouts GA\"A\">1=|GA\"A\">1=|GA\"A\">1=", "reply GA\"A\">1=late",
                              "lines GA\"A\">1=late", "reply GA\"B\">1=2", "lines GA\"A\">1=late|GA\"B\">1=2",
                              "sent 3 GA\"A\">1", "sent 1 GA\"B\">1", "failures 3", "errors 0", "idle"};
        // Still waiting for its answer, asking again queues nothing; once answered, the same query goes out again.
        QTest::newRow("identical query queued once")
            << QByteArrayList{"ask 4000 GA\"G\">1", "ask 4000 GA\"G\">1", "ask 4000 GA\"G\">1", "ask 4000 GA\"G\">2",
                              "sent 1 GA\"G\">1", "ask 4000 GA\"G\">1", "reply GA\"G\">1=1", "sent 1 GA\"G\">2",
                              "reply GA\"G\">2=2", "lines GA\"G\">1=1|GA\"G\">2=2", "sent 1 GA\"G\">1",
                              "ask 4000 GA\"G\">1", "sent 2 GA\"G\">1"};
    }
    void dispatcher()
    {
        QFETCH(QByteArrayList, steps);
        Online<RecordingProtocol> online;
        QByteArray setAnswer;
        online.peer.answer = [&setAnswer](const QByteArray &line) { return line.startsWith("SA") ? setAnswer : QByteArray(); };
        const auto ended = [&online] { return online.peer.received.endsWith("END\r"); };
        for (const QByteArray &step : std::as_const(steps)) {
            const QByteArray verb = step.split(' ').first(), rest = step.mid(verb.size() + 1);
            const int number = rest.split(' ').first().toInt();
            const QByteArray command = rest.mid(rest.indexOf(' ') + 1);
            if (verb == "answerSets")
                setAnswer = rest;
            else if (verb == "ack")
                online.client->send(rest + '\r', IInterface::AckExpected, QString(), 4000);
            else if (verb == "ask")
                online.client->send(command + '\r', IInterface::ReplyExpected,
                                    QString::fromLatin1(command + (command.startsWith("SUB") ? ',' : '=')), number);
            else if (verb == "end")
                online.client->send("END\r", IInterface::NoAnswer, QString(), 200);
            else if (verb == "ended")
                QTRY_VERIFY_WITH_TIMEOUT(ended(), 3000);
            else if (verb == "waiting")
                QVERIFY(!ended());
            else if (verb == "reply")
                online.peer.send(rest + '\r');
            else if (verb == "sent")
                QTRY_COMPARE_WITH_TIMEOUT(online.peer.count(command + '\r'), number, Timeout);
            else if (verb == "lines")
                QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines, rest.isEmpty() ? QByteArrayList() : rest.split('|'), Timeout);
            else if (verb == "timeouts")
                QTRY_COMPARE_WITH_TIMEOUT(online.protocol.timeouts, QString::fromLatin1(rest).split('|', Qt::SkipEmptyParts), Timeout);
            else if (verb == "failures")
                QTRY_COMPARE_WITH_TIMEOUT(online.failures->count(), number, Timeout);
            else if (verb == "errors")
                QTRY_COMPARE_WITH_TIMEOUT(online.client->sendErrorCount(), number, Timeout);
            else if (verb == "stream")
                online.client->setStreaming(1);
            else if (verb == "idle")
                QTRY_VERIFY_WITH_TIMEOUT(!online.client->dispatcher()->isPassScheduled() && online.idle(), Timeout);
            else
                QFAIL(step.constData());
        }
    }

    void shortWriteCountsAsAFailedAttempt()
    {
        // A link that takes only part of each command: each write fails.
        ICountedQueue<ITcpClientThread::Record> records;
        ICountedQueue<QByteArray> replies;
        QList<QByteArray> writes;
        ITcpClientThread dispatcher(&records, &replies, [&writes](const QByteArray &bytes, bool) {
            writes.append(bytes);
            return qint64(bytes.size() - 1);
        });
        QSignalSpy errors(&dispatcher, &ITcpClientThread::messageError);
        dispatcher.onStartMessageProcessing();
        records.append({IInterface::AckExpected, "SA \"G\">1=1\r", QByteArray(), 4000, QByteArray()});
        records.append({IInterface::NoAnswer, "END\r", QByteArray(), 200, QByteArray()});
        dispatcher.schedule();
        QTRY_COMPARE_WITH_TIMEOUT(writes.size(), 6, Timeout);
        QCOMPARE(writes, QList<QByteArray>(3, "SA \"G\">1=1\r") + QList<QByteArray>(3, "END\r"));
        QCOMPARE(errors.count(), 6);
        QTRY_VERIFY_WITH_TIMEOUT(!dispatcher.isPassScheduled(), Timeout);
        QCOMPARE(dispatcher.state(), ITcpClientThread::Idle);
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
        online.protocol.probe = "SUB\r";
        online.client->hostCheck()->setProgram(exitCode < 0 ? QStringLiteral("/nonexistent/ping")
                                                            : writePingScript(dir, exitCode));
        online.client->hostCheck()->setInterval(20);
        const bool cannotRun = exitCode < 0 || exitCode == 2;
        if (cannotRun) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("The host check cannot run"));
            QTest::failOnWarning(QRegularExpression("The host check cannot run"));
        }
        online.client->armHostCheck();
        // Each judged ping arms the check again.
        QTRY_VERIFY_WITH_TIMEOUT(online.client->hostCheck()->count() >= 3, Timeout);
        // Nothing at all is written unless the connection is probed.
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.received.left(4), probe ? QByteArray("SUB\r") : QByteArray(), Timeout);
        if (cannotRun) {
            QTRY_VERIFY_WITH_TIMEOUT(online.client->hostCheck()->isArmed() && online.client->isConnected(), Timeout);
            return;
        }
        QFile called(dir.filePath(QStringLiteral("called")));
        QVERIFY(called.open(QIODevice::ReadOnly));
        QCOMPARE(called.readLine().trimmed(), QByteArray("C -n -c 1 -W 2 127.0.0.1"));
    }

    void stoppedPingIsNeverJudged()
    {
        // A ping killed as its connection closes is no host that does not
        // answer, when the check is armed again at once.
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
        QVERIFY(check.isArmed() && unreachable.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_TcpClient)
#include "tst_tcpclient.moc"
