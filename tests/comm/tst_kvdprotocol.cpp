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
    for (const char *set : {"SA", "MA", "SS", "SG", "SN", "SRC"}) {
        if (line.startsWith(set))
            return QByteArray(1, Ack);
    }
    return QByteArray();
}

// A protocol online towards a polling device, with nothing received yet.
struct Polled : Online<PKVDProtocol>
{
    Polled() : Online(pollingDevice, true) {}
};

// Sets the value text of a control and hands it to the protocol.
bool send(PProtocol &protocol, Binding &control, const QString &value)
{
    control.transform.setValueText(value);
    return protocol.sendValue(&control.transform);
}

} // namespace

class tst_KVDProtocol : public QObject
{
    Q_OBJECT

private slots:
    void goldenCommands_data()
    {
        QTest::addColumn<int>("structure");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("index1");
        QTest::addColumn<int>("index2");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("set");
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<QString>("reply"); // what a simulated device answers the query
        // The channel label (7), the linked value (3) and the poll command (9)
        // come from the row's structure.
        const auto row = [](const char *name, int structure, const char *label, int index1, int index2,
                            const char *value, const char *set, const char *query, const char *reply) {
            QTest::newRow(name) << structure << label << index1 << index2 << value << QByteArray(set)
                                << QByteArray(query) << reply;
        };
        row("0 level", 0, "Gain 1", 1, 0, "-3.0", "SA \"Gain 1\">1=-3.0\r", "GA\"Gain 1\">1\r", "-3.0");
        row("1 mute", 1, "Mute 2", 3, 0, "T", "SA \"Mute 2\">3=T\r", "GA\"Mute 2\">3\r", "T");
        row("2 two indexes", 2, "G", 3, 4, "78", "SA \"G\">3>4=78\r", "GA\"G\">3>4\r", "78");
        row("3 through a linked value", 3, "Selector 1", 0, 2, "T", "SA \"Selector 1\">4>2=T\r",
            "GA \"Selector 1\">4>2\r", "T");
        row("4 status", 4, "Status", 0, 0, "31", "SS 1f \r", "GS \r", "0x1f");
        row("5 group level", 5, "Group", 26, 0, "78", "SG 1a,78\r", "GG 1a\r", "78");
        row("6 group number", 6, "Group", 26, 0, "1", "SN 1a,1\r", "GN 1a\r", "1");
        row("7 channel", 7, "Dante In", 4, 2, "O", "SA\"Lectern\">2=O\r", "GA\"Lectern\">2\r", "O");
        // Set by the first index, read by the second: this one was never set.
        row("8 matrix", 8, "Mixer 1", 5, 7, "-6.0", "MA \"Mixer 1\">5=-6.0\r", "GA\"Mixer 1\">0>7\r", "0.0");
        row("9 commands", 9, "Rooms", 0, 0, "SRC 2,[1,2];SRC 3,[4,5]\r", "SRC 2,[1,2]\rSRC 3,[4,5]\r", "GRC 2\r",
            "GRC 2,[1,2]");
    }
    void goldenCommands()
    {
        QFETCH(int, structure);
        QFETCH(QString, label);
        QFETCH(int, index1);
        QFETCH(int, index2);
        QFETCH(QString, value);
        Binding control(label, structure, index1, index2);
        control.attributes.setChannelLabel(structure == 7 ? QStringLiteral("Lectern") : QString());
        control.transform.setValue(value.toInt());
        control.transform.command = structure == 9 ? QStringLiteral("GRC 2\r") : QString();
        TextTransform source;
        source.setValueText(QStringLiteral("4"));
        if (structure == 3)
            QVERIFY(control.transform.linkTo(&source));
        {
            Polled online;
            QVERIFY(send(online.protocol, control, value));
            QFETCH(QByteArray, set);
            QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, set, Timeout);
            online.peer.received.clear();
            QVERIFY(online.protocol.poll(&control.transform));
            QFETCH(QByteArray, query);
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
        QFETCH(QString, reply);
        QTRY_COMPARE_WITH_TIMEOUT(control.transform.replies, QStringList{reply}, Timeout);
        QCOMPARE(failures.count(), 0);
    }

    void sendIndexesAddressSetCommands()
    {
        // Sending asks the poll to wait (once); polling does not.
        Polled online;
        QSignalSpy postpone(&online.protocol, &PProtocol::aboutToSendValue);
        Binding control(QStringLiteral("G"), 2, 3, 4);
        control.transform.setSendIndexes(5, 6);
        QVERIFY(send(online.protocol, control, QStringLiteral("1")));
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, QByteArray("SA \"G\">5>6=1\r"), Timeout);
        online.peer.received.clear();
        QVERIFY(online.protocol.poll(&control.transform));
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, QByteArray("GA\"G\">3>4\r"), Timeout);
        QCOMPARE(postpone.count(), 1);
    }

    void unsafeNamesAreRefused_data()
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
    void unsafeNamesAreRefused()
    {
        QFETCH(int, structure);
        QFETCH(QString, label);
        QFETCH(QString, channelLabel);
        QFETCH(QString, value);
        QFETCH(QString, linked);
        Polled online;
        Binding bad(label, structure, 1, 2);
        bad.attributes.setChannelLabel(channelLabel);
        TextTransform source;
        source.setValueText(linked);
        if (!linked.isEmpty())
            bad.transform.linkTo(&source);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Control \"Control of .*nothing was sent"));
        QVERIFY(!send(online.protocol, bad, value));
        // Only what comes next reaches the device.
        Binding good(QStringLiteral("Gain"), 0, 1);
        QVERIFY(send(online.protocol, good, QStringLiteral("2")));
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, QByteArray("SA \"Gain\">1=2\r"), Timeout);
    }

    void unsendableValuesAreRefused_data()
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
    void unsendableValuesAreRefused()
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
        if (sent.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Control \"Control of Gain\": .*nothing was sent"));
        QCOMPARE(online.protocol.sendValue(transform.get()), !sent.isEmpty());
        // Only what can be sent reaches the device, and what comes next.
        Binding next(QStringLiteral("Next"), 0, 1);
        QVERIFY(send(online.protocol, next, QStringLiteral("0")));
        const QByteArray expected = (sent.isEmpty() ? QByteArray() : "SA \"Gain\">1=" + sent.toUtf8() + "\r");
        QTRY_COMPARE_WITH_TIMEOUT(online.peer.received, expected + "SA \"Next\">1=0\r", Timeout);
        // A level that comes back as no finite number is not taken.
        if (keyword != QLatin1String("strV"))
            return;
        QSignalSpy replies(transform.get(), &TTransform::replyValueReady);
        for (const char *reply : {"nan", "-inf", "-12."})
            transform->receiveReply(QString::fromLatin1(reply));
        QCOMPARE(replies.count(), 1);
        QCOMPARE(transform->replyText(), QStringLiteral("-12."));
    }

    void replyReachesOnlyTheMatchingIndexes()
    {
        Polled online;
        HNode block;
        block.setLabel(QStringLiteral("G"));
        Binding first(QString(), 2, 3, 4, &block);
        Binding second(QString(), 2, 3, 5, &block);
        QVERIFY(online.protocol.poll(&first.transform));
        QVERIFY(online.protocol.poll(&second.transform));
        QTRY_VERIFY_WITH_TIMEOUT(online.peer.received.contains("GA\"G\">3>4\r"), Timeout);
        online.peer.send("GA\"G\">3>4=63\r");
        QTRY_COMPARE_WITH_TIMEOUT(first.transform.replies, QStringList{"63"}, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(online.peer.received.contains("GA\"G\">3>5\r"), Timeout);
        online.peer.send("GA\"G\">3>5=7\r");
        QTRY_COMPARE_WITH_TIMEOUT(second.transform.replies, QStringList{"7"}, Timeout);
        QCOMPARE(first.transform.replies, QStringList{"63"});
        QCOMPARE(online.failures->count(), 0);
    }

    void repliesOfEveryForm()
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
        for (const QByteArray &line : {QByteArray("GA \"G\">1=4"), QByteArray(1, Ack) + "GA\"G\">1=5\r",
                                       QByteArray("S 0x1f"), QByteArray("GG 1a,70"), QByteArray("GN 1a,3;GG 1a,71")})
            QVERIFY2(protocol.handleReply(line), line.constData());
        QCOMPARE(gain.transform.replies, (QStringList{"4", "5"}));
        QCOMPARE(status.transform.replies, QStringList{"0x1f"});
        QCOMPARE(group.transform.replies, QStringList{"70"});
        QCOMPARE(number.transform.replies, QStringList{"3"});
        // Refusals, noise and unknown groups reach nobody.
        for (const QByteArray &line : {QByteArray(1, Nak) + "GA\"G\">1=4", QByteArray(), QByteArray("\r"),
                                       QByteArray("garbage without meaning"), QByteArray("GG 1b,70")})
            QVERIFY(!protocol.handleReply(line));
        QCOMPARE((QList<qsizetype>{gain.transform.replies.size(), group.transform.replies.size()}), (QList<qsizetype>{2, 1}));
        // A protocol that asked nothing takes nothing.
        QVERIFY(!PKVDProtocol().handleReply("GA\"G\">1=4"));
    }

    void movedAddressNoLongerAnswers()
    {
        // A selector's parameter is addressed through the input another
        // control chose; the other control chooses again.
        Polled online;
        Binding control(QStringLiteral("Selector"), 3, 0, 2);
        TextTransform input;
        control.transform.linkTo(&input);
        input.setValueText(QStringLiteral("3"));
        QVERIFY(online.protocol.poll(&control.transform));
        input.setValueText(QStringLiteral("4"));
        QVERIFY(online.protocol.poll(&control.transform));
        QVERIFY(!online.protocol.handleReply("GA \"Selector\">3>2=F"));
        QVERIFY(online.protocol.handleReply("GA \"Selector\">4>2=T"));
        QCOMPARE(control.transform.replies, QStringList{"T"});
    }

    void streamingSetsAreAcknowledged()
    {
        // A set that the device refuses is written again while it streams
        // too, rather than lost without a word.
        int sets = 0;
        Online<PKVDProtocol> online(
            [&sets](const QByteArray &line) {
                return line == "SUB" ? QByteArray("SUB,yes\r") : QByteArray(1, ++sets == 1 ? Nak : Ack);
            },
            true);
        QCOMPARE(online.client->streaming(), quint8(1));
        Binding control(QStringLiteral("Gain"), 0, 1);
        QVERIFY(send(online.protocol, control, QStringLiteral("1")));
        QTRY_COMPARE_WITH_TIMEOUT(sets, 2, Timeout);
        QCOMPARE(online.peer.received, QByteArray("SA \"Gain\">1=1\rSA \"Gain\">1=1\r"));
        QTRY_COMPARE_WITH_TIMEOUT(online.client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
        QCOMPARE(online.failures->count(), 1);
    }

    void queuedSetsOfOneParameterMerge()
    {
        // A slow device: while the first set waits for its ACK, newer values
        // of the same level take the place of the one queued; the order of
        // the parameters stays, and every change of a state (a press and its
        // release) goes out.
        QTemporaryDir dir;
        SimFaults faults;
        faults.delayMs = 100;
        SimPeer sim(faults);
        QString error;
        QVERIFY2(sim.log.openFile(dir.filePath(QStringLiteral("sim.log")), &error), qPrintable(error));
        PKVDProtocol protocol;
        auto client = runningClient(&protocol, sim.port(), true);
        HNode block;
        block.setLabel(QStringLiteral("G"));
        Binding a(QString(), 0, 1, 0, &block);
        Binding b(QString(), 0, 2, 0, &block);
        Binding c(QString(), 0, 3, 0, &block);
        a.transform.level = b.transform.level = true;
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
        QVERIFY(send(protocol, a, "1"));
        QTRY_COMPARE_WITH_TIMEOUT(readArrivals(), 1, Timeout);
        for (const auto &[control, value] : QList<QPair<Binding *, const char *>>{
                 {&a, "2"}, {&b, "1"}, {&a, "3"}, {&b, "2"}, {&a, "4"}, {&c, "1"}, {&c, "0"}})
            QVERIFY(send(protocol, *control, value));
        QTRY_COMPARE_WITH_TIMEOUT(readArrivals(), 5, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(client->dispatcher()->state(), ITcpClientThread::Idle, Timeout);
        readArrivals();
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
    }

    void factory()
    {
        // Families are matched as written; anything else gets no protocol.
        for (const auto &[family, typeName] :
             QList<QPair<QString, QString>>{{"Korvel", "KVD"}, {"KA6200N", "KVD"}, {"zmp", ""}, {"", ""}, {"XT", ""}}) {
            std::unique_ptr<PProtocol> protocol(PProtocolFactory::instance().create(family));
            QCOMPARE(protocol ? protocol->typeName() : QString(), typeName);
        }
    }
};

QTEST_GUILESS_MAIN(tst_KVDProtocol)
#include "tst_kvdprotocol.moc"
