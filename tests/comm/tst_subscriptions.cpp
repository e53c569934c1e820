// Subscriptions and polling: the "SUB" handshake, one subscription command per parameter and connection, pushed values,
// who polls a shared parameter, unsubscribing, and starting afresh after a reconnection.

#include "../SimStation.h"
#include "PKVDProtocol.h"

using namespace commtest;

namespace {
// A raw device that confirms subscriptions and answers each query with 1.
QByteArray subscribingDevice(const QByteArray &line)
{
    if (line == "SUB")
        return "SUB,yes\r";
    if (line.startsWith("SUB \"") || line.startsWith("UNS \""))
        return line + ",yes\r";
    return line.startsWith("GA") ? line + "=1\r" : QByteArray();
}

// A raw device that refuses subscriptions and answers nothing else.
QByteArray pollingOnly(const QByteArray &line) { return line == "SUB" ? QByteArray("SUB,no\r") : QByteArray(); }
const QString G1 = QStringLiteral("GA\"G\">1");
} // namespace

class tst_Subscriptions : public QObject
{
    Q_OBJECT
private slots:
    void handshakeAnsweredLateOrNever_data()
    {
        QTest::addColumn<bool>("late"); // the device says "yes" after the first poll, or never answers
        QTest::newRow("unanswered handshake leaves polling") << false;
        QTest::newRow("polled before the handshake, subscribed later") << true;
    }
    void handshakeAnsweredLateOrNever()
    {
        // Polled while the handshake waits, a parameter is queried, and subscribed once the answer is known.
        QFETCH(bool, late);
        RawPeer peer;
        peer.answer = [](const QByteArray &line) { return line == "SUB" ? QByteArray() : subscribingDevice(line); };
        PKVDProtocol protocol;
        auto client = openClient(&protocol, peer.port());
        QTRY_COMPARE_WITH_TIMEOUT(peer.count("SUB\r"), late ? 1 : 3, Timeout);
        Binding control(QStringLiteral("G"), 0, 1);
        control.transform.setPollDivider(1);
        QVERIFY(protocol.poll(&control.transform));
        if (late)
            peer.send("SUB,yes\r");
        QTRY_COMPARE_WITH_TIMEOUT(control.transform.replies.value(0), QStringLiteral("1"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT((protocol.poll(&control.transform), protocol.subscriptions().isSubscribed(G1)), late,
                                  Timeout);
        QCOMPARE((QList<int>{protocol.isSubscribed(), peer.count("SUB \"GA\"G\">1\"\r"), peer.count("SUB \"")}),
                 (QList<int>{late, late, late}));
    }

    void subscriptionAnswers_data()
    {
        QTest::addColumn<QByteArray>("answer"); // to the subscription command
        QTest::addColumn<int>("writes");        // of the subscription command
        QTest::newRow("confirmed: subscribed once, then polls only arm the host check") << QByteArray(",yes\r") << 1;
        QTest::newRow("answered no") << QByteArray(",no\r") << 1;
        QTest::newRow("refused with NAK") << QByteArray(1, Nak) << 3;
        QTest::newRow("acknowledgement lost") << QByteArray() << 3;
    }
    void subscriptionAnswers()
    {
        // A subscription confirmed is asked once; refused, or never acknowledged, while the device streams it is
        // written at most three times and then polled.
        QFETCH(QByteArray, answer);
        QFETCH(int, writes);
        Online<PKVDProtocol> online(
            [answer](const QByteArray &line) {
                if (!line.startsWith("SUB \""))
                    return subscribingDevice(line);
                return answer.startsWith(',') ? line + answer : answer;
            },
            true);
        auto &[peer, protocol, client, failures] = online;
        QVERIFY(protocol.isSubscribed());
        client->hostCheck()->setInterval(60000);
        Binding control(QStringLiteral("G"), 0, 1);
        control.transform.setPollDivider(1);
        QVERIFY(protocol.poll(&control.transform));
        QTRY_COMPARE_WITH_TIMEOUT(peer.count("SUB \"GA\"G\">1\"\r"), writes, Timeout);
        if (answer == ",yes\r") {
            // The subscription, then one read of the value once it is confirmed.
            QTRY_COMPARE_WITH_TIMEOUT(control.transform.replies, QStringList{"1"}, Timeout);
            QCOMPARE(peer.received, QByteArray("SUB \"GA\"G\">1\"\rGA\"G\">1\r"));
            QVERIFY(protocol.subscriptions().isSubscribed(G1));
            peer.received.clear();
            for (int i = 0; i < 3; ++i)
                QVERIFY(protocol.poll(&control.transform));
            QVERIFY(client->hostCheck()->isArmed() && peer.received.isEmpty());
            QVERIFY(!client->dispatcher()->isPending("GA\"G\">1\r") && !client->dispatcher()->isPassScheduled());
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT((protocol.poll(&control.transform), !control.transform.replies.isEmpty()), Timeout);
        QCOMPARE(peer.count("SUB \"GA\"G\">1\"\r"), writes);
        QVERIFY(peer.count("GA\"G\">1\r") >= 1 && !protocol.subscriptions().isSubscribed(G1));
    }

    void joiningAndReconnectingSubscriptions()
    {
        // A control joining a subscribed parameter (a panel shown later)
        // reads the value once; the device pushes only changes.
        auto sim = std::make_unique<SimPeer>();
        const quint16 port = sim->port();
        const QString gain = QStringLiteral("GA\"Gain 1\">1");
        QString error;
        QVERIFY(sim->device->setParameter(gain, QStringLiteral("-4.5"), &error));
        PKVDProtocol protocol;
        auto client = runningClient(&protocol, port, true);
        Binding first(QStringLiteral("Gain 1"), 0, 1), later(QString(), 0, 1, 0, first.node);
        QVERIFY(protocol.poll(&first.transform));
        QTRY_COMPARE_WITH_TIMEOUT(first.transform.replies, QStringList{"-4.5"}, Timeout);
        QVERIFY(protocol.subscriptions().isSubscribed(gain) && protocol.poll(&later.transform));
        QTRY_COMPARE_WITH_TIMEOUT(later.transform.replies, QStringList{"-4.5"}, Timeout);
        // Polled again, it is subscribed: nothing more goes out.
        QTRY_COMPARE_WITH_TIMEOUT(client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
        QVERIFY(protocol.poll(&later.transform) && !client->dispatcher()->isPending("GA\"Gain 1\">1\r"));
        QVERIFY(sim->device->setParameter(gain, QStringLiteral("-6.0"), &error));
        QTRY_COMPARE_WITH_TIMEOUT(later.transform.replies, (QStringList{"-4.5", "-6.0"}), Timeout);
        QCOMPARE(first.transform.replies, (QStringList{"-4.5", "-4.5", "-6.0"}));
        // The device goes away: offline, nothing subscribed any more.
        sim.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!client->isConnected(), Timeout);
        QVERIFY(!protocol.isSubscribed() && protocol.subscriptions().keyCount() == 0);
        // Back with another value: the next poll subscribes again and reads it.
        sim = std::make_unique<SimPeer>(SimFaults(), port);
        QTRY_VERIFY_WITH_TIMEOUT(client->isConnected() && protocol.isSubscribed(), 3 * Timeout);
        QCOMPARE(simtest::OtherStation(port).ask("SA \"Gain 1\">1=-9.0"), QByteArray(1, Ack));
        QVERIFY(protocol.poll(&first.transform));
        QTRY_COMPARE_WITH_TIMEOUT(first.transform.replies.last(), QStringLiteral("-9.0"), Timeout);
        QVERIFY(protocol.subscriptions().isSubscribed(gain));
    }

    void twoControlsOfOneParameter()
    {
        Online<PKVDProtocol> online(
            [](const QByteArray &line) { return line.startsWith("GA") ? line + "=1\r" : pollingOnly(line); }, true);
        Binding hidden(QStringLiteral("Gain 1"), 0, 1), shown(QString(), 0, 1, 0, hidden.node);
        hidden.transform.setPollDivider(1);
        shown.transform.setPollDivider(1);
        // Only the first polls; one answer reaches both.
        QVERIFY(online.protocol.poll(&hidden.transform) && online.protocol.poll(&shown.transform));
        QTRY_COMPARE_WITH_TIMEOUT(shown.transform.replies, QStringList{"1"}, Timeout);
        QCOMPARE(hidden.transform.replies, QStringList{"1"});
        QCOMPARE(online.peer.received, QByteArray("GA\"Gain 1\">1\r"));
        // The first one's panel is hidden now: the shown one's polls go out.
        QTRY_VERIFY_WITH_TIMEOUT(
            (online.protocol.poll(&shown.transform), online.peer.count("GA\"Gain 1\">1\r") == 3), Timeout);
    }

    void resynchronizingUnsubscribesWhatWasSubscribed()
    {
        Online<PKVDProtocol> online(
            [](const QByteArray &line) {
                if (line == "SUB \"GA\"Refused\">1\"")
                    return line + ",no\r";
                return line.startsWith("GRC") ? line + ",[1,2]\r" : subscribingDevice(line);
            },
            true);
        auto &[peer, protocol, client, failures] = online;
        Binding gain(QStringLiteral("G"), 0, 1), refused(QStringLiteral("Refused"), 0, 1), rooms(QStringLiteral("Rooms"), 9);
        rooms.transform.command = QStringLiteral("GRC 2\r");
        for (Binding *control : {&gain, &refused, &rooms})
            QVERIFY(protocol.poll(&control->transform));
        QTRY_VERIFY_WITH_TIMEOUT(!gain.transform.replies.isEmpty() && !rooms.transform.replies.isEmpty(), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(peer.received.contains("SUB \"GA\"Refused\">1\"\r"), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!client->dispatcher()->isPassScheduled() && online.idle(), Timeout);
        peer.received.clear();
        client->resynchronize();
        // Only what was subscribed is cancelled, by its query; then the handshake runs again.
        QTRY_VERIFY_WITH_TIMEOUT(peer.received.contains("SUB\r"), Timeout);
        QCOMPARE((QList<int>{peer.count("UNS \"GA\"G\">1\"\r"), peer.count("UNS \"GRC 2\"\r"), peer.count("UNS")}),
                 (QList<int>{1, 1, 2}));
        QTRY_VERIFY_WITH_TIMEOUT(protocol.isSubscribed(), Timeout);
        QCOMPARE(protocol.subscriptions().keyCount(), 0);
    }

    void transformsThatGoAwayAreForgotten()
    {
        Online<PKVDProtocol> online(pollingOnly, true);
        auto deleted = std::make_unique<Binding>(QStringLiteral("G"), 0, 1);
        Binding released(QStringLiteral("G"), 0, 2), forgotten(QStringLiteral("G"), 0, 3);
        for (Binding *control : {deleted.get(), &released, &forgotten})
            QVERIFY(online.protocol.poll(&control->transform));
        deleted.reset();
        released.transform.releaseUser();
        online.protocol.forget(&forgotten.transform);
        for (const char *reply : {"GA\"G\">1=3", "GA\"G\">2=3", "GA\"G\">3=3"})
            QVERIFY(!online.protocol.handleReply(reply));
        QVERIFY(released.transform.replies.isEmpty() && forgotten.transform.replies.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Subscriptions)
#include "tst_subscriptions.moc"
