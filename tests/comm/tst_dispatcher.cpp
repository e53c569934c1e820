// The dispatcher of the TCP client: one command at a time, answers matched
// to the command that waits, at most three writes, and every other line
// routed to the protocol.

#include "CommTestUtil.h"

#include "ITcpClient.h"
#include "ITcpClientThread.h"

using namespace commtest;

class tst_Dispatcher : public QObject
{
    Q_OBJECT

private slots:
    void acknowledge_data();
    void acknowledge();
    void silenceGivesThreeWritesAndThreeTimeouts();
    void answerMustBeginWithTheTag();
    void lateAnswerIsRoutedNotTakenByTheNextCommand();
    void bytesBehindAnAckAreALineOfTheirOwn();
    void pushedLineWhileIdleIsRouted();
    void identicalQueryIsQueuedOnce();
    void streamingWritesOnWithoutWaiting();
    void idleConnectionSchedulesNothing();
    void answerResetsTheErrorCount();
    void shortWriteCountsAsAFailedAttempt();
};

void tst_Dispatcher::acknowledge_data()
{
    QTest::addColumn<char>("answer");
    QTest::addColumn<int>("writes");
    QTest::addColumn<int>("failures");
    QTest::newRow("ACK completes the command") << Ack << 1 << 0;
    QTest::newRow("NAK: written three times, then dropped") << Nak << 3 << 3;
}

void tst_Dispatcher::acknowledge()
{
    QFETCH(char, answer);
    QFETCH(int, writes);
    QFETCH(int, failures);
    RawPeer peer;
    peer.answer = [answer](const QByteArray &line) {
        return line.startsWith("SA") ? QByteArray(1, answer) : QByteArray();
    };
    RecordingProtocol protocol;
    auto client = runningClient(&protocol, peer.port());
    QSignalSpy errors(client->dispatcher(), &ITcpClientThread::messageError);

    // A long answer time: what follows can only go out this soon because
    // the answer byte settled the command.
    client->send("SA \"G\">1=1\r", IInterface::AckExpected, QString(), 4000);
    client->send("END\r", IInterface::NoAnswer, QString(), 200);
    QTRY_VERIFY_WITH_TIMEOUT(peer.received.endsWith("END\r"), 3000);
    QCOMPARE(peer.count("SA \"G\">1=1\r"), writes);
    QCOMPARE(errors.count(), failures);
    QVERIFY(protocol.timeouts.isEmpty());
}

void tst_Dispatcher::silenceGivesThreeWritesAndThreeTimeouts()
{
    RawPeer peer;
    RecordingProtocol protocol;
    auto client = runningClient(&protocol, peer.port());
    QSignalSpy errors(client->dispatcher(), &ITcpClientThread::messageError);

    client->send("GA\"G\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">1="), 30);
    client->send("END\r", IInterface::NoAnswer, QString(), 200);
    QTRY_VERIFY_WITH_TIMEOUT(peer.received.endsWith("END\r"), Timeout);
    QCOMPARE(peer.count("GA\"G\">1\r"), 3);
    QCOMPARE(errors.count(), 3);
    QCOMPARE(protocol.timeouts, QStringList(3, QStringLiteral("GA\"G\">1=")));
}

void tst_Dispatcher::answerMustBeginWithTheTag()
{
    RawPeer peer;
    RecordingProtocol protocol;
    auto client = runningClient(&protocol, peer.port());
    QSignalSpy errors(client->dispatcher(), &ITcpClientThread::messageError);

    client->send("GA\"G\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">1="), 4000);
    client->send("END\r", IInterface::NoAnswer, QString(), 200);
    QTRY_COMPARE_WITH_TIMEOUT(peer.count("GA\"G\">1\r"), 1, Timeout);

    // Another parameter's line is no answer: it is routed, and the command
    // goes on waiting.
    peer.send("GA\"G\">2=7\r");
    QTRY_COMPARE_WITH_TIMEOUT(protocol.lines, QList<QByteArray>{"GA\"G\">2=7"}, Timeout);
    QVERIFY(!peer.received.endsWith("END\r"));

    peer.send("GA\"G\">1=5\r");
    QTRY_VERIFY_WITH_TIMEOUT(peer.received.endsWith("END\r"), Timeout);
    QCOMPARE(protocol.lines.last(), QByteArray("GA\"G\">1=5"));
    QCOMPARE(peer.count("GA\"G\">1\r"), 1);
    QCOMPARE(errors.count(), 0);
}

void tst_Dispatcher::lateAnswerIsRoutedNotTakenByTheNextCommand()
{
    RawPeer peer;
    RecordingProtocol protocol;
    auto client = runningClient(&protocol, peer.port());
    QSignalSpy errors(client->dispatcher(), &ITcpClientThread::messageError);

    client->send("GA\"A\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"A\">1="), 20);
    client->send("GA\"B\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"B\">1="), 4000);
    QTRY_COMPARE_WITH_TIMEOUT(peer.count("GA\"B\">1\r"), 1, Timeout);
    QCOMPARE(errors.count(), 3);

    peer.send("GA\"A\">1=late\r");
    QTRY_COMPARE_WITH_TIMEOUT(protocol.lines, QList<QByteArray>{"GA\"A\">1=late"}, Timeout);
    peer.send("GA\"B\">1=2\r");
    QTRY_COMPARE_WITH_TIMEOUT(protocol.lines.size(), 2, Timeout);
    QCOMPARE(peer.count("GA\"B\">1\r"), 1);
    QCOMPARE(errors.count(), 3);
}

void tst_Dispatcher::bytesBehindAnAckAreALineOfTheirOwn()
{
    RawPeer peer;
    RecordingProtocol protocol;
    auto client = runningClient(&protocol, peer.port());
    QSignalSpy errors(client->dispatcher(), &ITcpClientThread::messageError);

    client->send("SA \"G\">1=3\r", IInterface::AckExpected, QString(), 4000);
    QTRY_COMPARE_WITH_TIMEOUT(peer.count("SA \"G\">1=3\r"), 1, Timeout);
    peer.send(QByteArray(1, Ack) + "GA\"G\">1=3\r");
    QTRY_COMPARE_WITH_TIMEOUT(protocol.lines, QList<QByteArray>{"GA\"G\">1=3"}, Timeout);
    client->send("END\r", IInterface::NoAnswer, QString(), 200);
    QTRY_VERIFY_WITH_TIMEOUT(peer.received.endsWith("END\r"), Timeout);
    QCOMPARE(errors.count(), 0);
}

void tst_Dispatcher::pushedLineWhileIdleIsRouted()
{
    RawPeer peer;
    RecordingProtocol protocol;
    auto client = runningClient(&protocol, peer.port());

    peer.send("GA\"Gain 1\">1=-3.0\r");
    QTRY_COMPARE_WITH_TIMEOUT(protocol.lines, QList<QByteArray>{"GA\"Gain 1\">1=-3.0"}, Timeout);
}

void tst_Dispatcher::identicalQueryIsQueuedOnce()
{
    RawPeer peer;
    RecordingProtocol protocol;
    auto client = runningClient(&protocol, peer.port());

    for (int i = 0; i < 3; ++i)
        client->send("GA\"G\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">1="), 4000);
    client->send("GA\"G\">2\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">2="), 4000);
    QTRY_COMPARE_WITH_TIMEOUT(peer.count("GA\"G\">1\r"), 1, Timeout);
    // Still waiting for its answer: asking again queues nothing.
    client->send("GA\"G\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">1="), 4000);
    peer.send("GA\"G\">1=1\r");
    QTRY_COMPARE_WITH_TIMEOUT(peer.count("GA\"G\">2\r"), 1, Timeout);
    peer.send("GA\"G\">2=2\r");
    QTRY_COMPARE_WITH_TIMEOUT(protocol.lines.size(), 2, Timeout);
    QCOMPARE(peer.count("GA\"G\">1\r"), 1);

    // Once answered, the same query goes out again.
    client->send("GA\"G\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">1="), 4000);
    QTRY_COMPARE_WITH_TIMEOUT(peer.count("GA\"G\">1\r"), 2, Timeout);
}

void tst_Dispatcher::streamingWritesOnWithoutWaiting()
{
    RawPeer peer;
    RecordingProtocol protocol;
    auto client = runningClient(&protocol, peer.port());
    client->setStreaming(1);
    QSignalSpy errors(client->dispatcher(), &ITcpClientThread::messageError);

    // Nothing answers: each record is completed by the next one, or by the
    // end of its wait, and none of that is a failure.
    client->send("SUB \"GA\"A\">1\"\r", IInterface::ReplyExpected, QStringLiteral("SUB \"GA\"A\">1\","), 4000);
    client->send("SUB \"GA\"B\">1\"\r", IInterface::ReplyExpected, QStringLiteral("SUB \"GA\"B\">1\","), 30);
    client->send("SA \"A\">1=1\r", IInterface::NoAnswer, QString(), 200);
    QTRY_VERIFY_WITH_TIMEOUT(peer.received.endsWith("SA \"A\">1=1\r"), 2000);
    QCOMPARE(peer.count("SUB \"GA\"A\">1\"\r"), 1);
    QCOMPARE(peer.count("SUB \"GA\"B\">1\"\r"), 1);
    QCOMPARE(errors.count(), 0);
    QVERIFY(protocol.timeouts.isEmpty());

    // Whatever comes back in streaming reaches the protocol.
    peer.send("GA\"A\">1=4\r");
    QTRY_COMPARE_WITH_TIMEOUT(protocol.lines, QList<QByteArray>{"GA\"A\">1=4"}, Timeout);
}

void tst_Dispatcher::idleConnectionSchedulesNothing()
{
    RawPeer peer;
    peer.answer = [](const QByteArray &line) { return line + "=1\r"; };
    RecordingProtocol protocol;
    auto client = runningClient(&protocol, peer.port());

    client->send("GA\"G\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">1="), 4000);
    QTRY_COMPARE_WITH_TIMEOUT(protocol.lines.size(), 1, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!client->dispatcher()->isPassScheduled(), Timeout);
    QCOMPARE(client->dispatcher()->state(), ITcpClientThread::Idle);
}

void tst_Dispatcher::answerResetsTheErrorCount()
{
    RawPeer peer;
    RecordingProtocol protocol;
    auto client = runningClient(&protocol, peer.port());

    client->send("GA\"G\">1\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">1="), 20);
    QTRY_COMPARE_WITH_TIMEOUT(client->sendErrorCount(), 3, Timeout);
    peer.answer = [](const QByteArray &line) { return line + "=1\r"; };
    client->send("GA\"G\">2\r", IInterface::ReplyExpected, QStringLiteral("GA\"G\">2="), 4000);
    QTRY_COMPARE_WITH_TIMEOUT(protocol.lines.size(), 1, Timeout);
    QCOMPARE(client->sendErrorCount(), 0);
}

void tst_Dispatcher::shortWriteCountsAsAFailedAttempt()
{
    // A link that takes only part of each command: every write is a failed
    // attempt, and the command is given up after the third.
    ICountedQueue<ITcpClientThread::Record> records;
    ICountedQueue<QByteArray> replies;
    QList<QByteArray> writes;
    ITcpClientThread dispatcher(&records, &replies, [&writes](const QByteArray &bytes) {
        writes.append(bytes);
        return qint64(bytes.size() - 1);
    });
    QSignalSpy errors(&dispatcher, &ITcpClientThread::messageError);
    dispatcher.onStartMessageProcessing();
    records.append({IInterface::AckExpected, "SA \"G\">1=1\r", QByteArray(), 4000});
    records.append({IInterface::NoAnswer, "END\r", QByteArray(), 200});
    dispatcher.schedule();

    QTRY_COMPARE_WITH_TIMEOUT(writes.size(), 6, Timeout);
    QCOMPARE(writes.mid(0, 3), QList<QByteArray>(3, "SA \"G\">1=1\r"));
    QCOMPARE(writes.mid(3), QList<QByteArray>(3, "END\r"));
    QCOMPARE(errors.count(), 6);
    QTRY_VERIFY_WITH_TIMEOUT(!dispatcher.isPassScheduled(), Timeout);
    QCOMPARE(dispatcher.state(), ITcpClientThread::Idle);
}

QTEST_GUILESS_MAIN(tst_Dispatcher)
#include "tst_dispatcher.moc"
