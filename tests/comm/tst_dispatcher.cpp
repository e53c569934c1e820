// The dispatcher of the TCP client: one command at a time, answers matched
// to the command that waits, at most three writes, and every other line
// routed to the protocol.

#include "CommTestUtil.h"

using namespace commtest;

namespace {

using Client = Online<RecordingProtocol>;

// Queues the query of parameter G>index, which waits wait ms for its answer.
void query(Client &online, const QByteArray &name, int index, int wait)
{
    const QByteArray command = "GA\"" + name + "\">" + QByteArray::number(index);
    online.client->send(command + '\r', IInterface::ReplyExpected, QString::fromLatin1(command + '='), wait);
}

// Queues a command that expects nothing; it goes out once all before it are
// done, so its arrival tells that they are.
void end(Client &online)
{
    online.client->send("END\r", IInterface::NoAnswer, QString(), 200);
}

bool ended(const Client &online)
{
    return online.peer.received.endsWith("END\r");
}

} // namespace

class tst_Dispatcher : public QObject
{
    Q_OBJECT

private slots:
    void acknowledge_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("writes");
        QTest::addColumn<QList<QByteArray>>("routed");
        QTest::newRow("ACK completes the command") << QByteArray(1, Ack) << 1 << QList<QByteArray>();
        QTest::newRow("NAK: written three times, then dropped") << QByteArray(1, Nak) << 3 << QList<QByteArray>();
        QTest::newRow("bytes behind an ACK are a line of their own")
            << QByteArray(1, Ack) + "GA\"G\">1=3\r" << 1 << QList<QByteArray>{"GA\"G\">1=3"};
    }
    void acknowledge()
    {
        QFETCH(QByteArray, answer);
        Client online([answer](const QByteArray &line) { return line.startsWith("SA") ? answer : QByteArray(); });
        // A long answer time: what follows can only go out this soon because
        // the answer byte settled the command.
        online.client->send("SA \"G\">1=1\r", IInterface::AckExpected, QString(), 4000);
        end(online);
        QTRY_VERIFY_WITH_TIMEOUT(ended(online), 3000);
        QTEST(online.peer.count("SA \"G\">1=1\r"), "writes");
        QCOMPARE(online.failures->count(), answer.startsWith(Nak) ? 3 : 0);
        QFETCH(QList<QByteArray>, routed);
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines, routed, Timeout);
        QVERIFY(online.protocol.timeouts.isEmpty());
    }

    void answerMustBeginWithTheTag()
    {
        Client online;
        query(online, "G", 1, 4000);
        end(online);
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.count("GA\"G\">1\r"), 1, Timeout);
        // Another parameter's line is no answer: it is routed, and the
        // command goes on waiting.
        online.peer.send("GA\"G\">2=7\r");
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines, QList<QByteArray>{"GA\"G\">2=7"}, Timeout);
        QVERIFY(!ended(online));
        online.peer.send("GA\"G\">1=5\r");
        QTRY_VERIFY_WITH_TIMEOUT(ended(online), Timeout);
        QCOMPARE(online.protocol.lines.last(), QByteArray("GA\"G\">1=5"));
        QCOMPARE(online.peer.count("GA\"G\">1\r"), 1);
        QCOMPARE(online.failures->count(), 0);
    }

    void lateAnswerIsRoutedNotTakenByTheNextCommand()
    {
        Client online;
        query(online, "A", 1, 20);
        query(online, "B", 1, 4000);
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.count("GA\"B\">1\r"), 1, Timeout);
        QCOMPARE(online.failures->count(), 3);
        online.peer.send("GA\"A\">1=late\r");
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines, QList<QByteArray>{"GA\"A\">1=late"}, Timeout);
        online.peer.send("GA\"B\">1=2\r");
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines.size(), 2, Timeout);
        QCOMPARE(online.peer.count("GA\"B\">1\r"), 1);
        QCOMPARE(online.failures->count(), 3);
    }

    void identicalQueryIsQueuedOnce()
    {
        Client online;
        for (int i = 0; i < 3; ++i)
            query(online, "G", 1, 4000);
        query(online, "G", 2, 4000);
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.count("GA\"G\">1\r"), 1, Timeout);
        // Still waiting for its answer: asking again queues nothing.
        query(online, "G", 1, 4000);
        online.peer.send("GA\"G\">1=1\r");
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.count("GA\"G\">2\r"), 1, Timeout);
        online.peer.send("GA\"G\">2=2\r");
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines.size(), 2, Timeout);
        QCOMPARE(online.peer.count("GA\"G\">1\r"), 1);
        // Once answered, the same query goes out again.
        query(online, "G", 1, 4000);
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.count("GA\"G\">1\r"), 2, Timeout);
    }

    void streamingStillWaitsForEachAnswer()
    {
        // A device that pushes its changes: a pushed line is routed and
        // answers nothing; a subscription whose acknowledgement never comes
        // fails like any command, and the protocol hears of it.
        Client online;
        online.client->setStreaming(1);
        const QString tag = QStringLiteral("SUB \"GA\"A\">1\",");
        online.client->send("SUB \"GA\"A\">1\"\r", IInterface::ReplyExpected, tag, 4000);
        end(online);
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.count("SUB \"GA\"A\">1\"\r"), 1, Timeout);
        online.peer.send("GA\"B\">1=4\r");
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines, QList<QByteArray>{"GA\"B\">1=4"}, Timeout);
        QVERIFY(!ended(online));
        online.peer.send("SUB \"GA\"A\">1\",yes\r");
        QTRY_VERIFY_WITH_TIMEOUT(ended(online), Timeout);
        QCOMPARE(online.failures->count(), 0);
        online.client->send("SUB \"GA\"C\">1\"\r", IInterface::ReplyExpected, tag, 20);
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.timeouts.size(), 3, Timeout);
        QCOMPARE(online.peer.count("SUB \"GA\"C\">1\"\r"), 3);
    }

    void silenceFailsThreeTimesAndAnAnswerResetsTheErrors()
    {
        Client online;
        query(online, "G", 1, 20);
        QTRY_COMPARE_WITH_TIMEOUT(online.client->sendErrorCount(), 3, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.count("GA\"G\">1\r"), 3, Timeout);
        QCOMPARE(online.failures->count(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.timeouts, QStringList(3, QStringLiteral("GA\"G\">1=")), Timeout);
        online.peer.answer = [](const QByteArray &line) { return line + "=1\r"; };
        query(online, "G", 2, 4000);
        QTRY_COMPARE_WITH_TIMEOUT(online.protocol.lines.size(), 1, Timeout);
        QCOMPARE(online.client->sendErrorCount(), 0);
        // An idle connection schedules nothing.
        QTRY_VERIFY_WITH_TIMEOUT(!online.client->dispatcher()->isPassScheduled(), Timeout);
        QCOMPARE(online.client->dispatcher()->state(), ITcpClientThread::Idle);
    }

    void shortWriteCountsAsAFailedAttempt()
    {
        // A link that takes only part of each command: every write is a
        // failed attempt, and the command is given up after the third.
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
};

QTEST_GUILESS_MAIN(tst_Dispatcher)
#include "tst_dispatcher.moc"
