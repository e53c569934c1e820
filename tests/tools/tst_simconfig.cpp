#include "../SimStation.h"
#include "../TransferPeers.h"
#include "../hardware/HardwareTestUtil.h"
#include "SimCardSlots.h"
#include "SimDesignReader.h"
#include "SimDeviceSource.h"
#include "SimOptions.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>

using hwtest::columns;

namespace {
constexpr int Timeout = 5000;
const QString Design = QStringLiteral(KVR_TEST_DATA "/devicesim/conference_centre.kvp");
} // namespace

// How the simulator learns which devices to serve (the design project reader with its card-slot rules, the command
// line and the port checks), and the simulator as a program: serving a design until it is signalled, commands typed
// on its standard input and the calls it rings.
class TestSimConfig : public QObject
{
    Q_OBJECT
    QProcess sim;
    QByteArray out; // what it printed so far
    QMap<int, QString> names; // of the devices it serves, by number

    // Starts kvrsim and waits until count devices named the port the system picked; answers their ports by number.
    QMap<int, quint16> start(const QStringList &arguments, int count)
    {
        out.clear();
        names.clear();
        sim.start(QStringLiteral(KVR_SIM_PATH), arguments);
        static const QRegularExpression listening(
            QStringLiteral(R"(device (\d) ([^\n]*) listening on 127\.0\.0\.1:(\d+)\n)"));
        QMap<int, quint16> ports;
        waitFor([&] {
            for (QRegularExpressionMatchIterator it = listening.globalMatch(QString::fromUtf8(out)); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                names.insert(m.captured(1).toInt(), m.captured(2));
                ports.insert(m.captured(1).toInt(), quint16(m.captured(3).toUInt()));
            }
            return ports.size() == count;
        });
        return ports;
    }
    bool waitFor(const std::function<bool()> &done)
    {
        return QTest::qWaitFor([&] { return (out += sim.readAllStandardOutput(), done()); }, Timeout);
    }
    bool printed(const QByteArray &text) { return waitFor([&] { return out.contains(text); }); }

private slots:
    void devicesOfADesignAndTheirPorts()
    {
        QList<SimDeviceInfo> devices;
        QString error;
        QVERIFY2(SimDesignReader::read(Design, &devices, &error), qPrintable(error));
        // The device inside the logic block's own view is no hardware; the amplifier's design gives no port. Labels
        // and models, one from Windows-1252, are what the program prints as it serves the design below.
        QCOMPARE(devices.size(), 3);
        const SimDeviceInfo &dsp = devices.at(0), &endpoint = devices.at(1), &amp = devices.at(2);
        QCOMPARE((QList<int>{dsp.nodeId, dsp.port, amp.nodeId, amp.port}), (QList<int>{1, 10055, 3, 10055}));
        QCOMPARE(dsp.address, QStringLiteral("192.168.10.21"));
        QCOMPARE((QList<QMap<int, int>>{dsp.levelEntries, endpoint.levelEntries, amp.levelEntries}),
                 (QList<QMap<int, int>>{{{1, 4}, {2, 4}, {3, 8}, {6, 128}},
                                        {{4, 4}, {7, 32}, {9, 4}, {10, 4}, {11, 2}},
                                        {{1, 8}, {2, 8}}}));
        // The endpoint's telephone interfaces become its phone lines.
        QCOMPARE(dsp.pstnLines + endpoint.pstnLines + amp.pstnLines, QStringList{"Phone Receive"});
        QCOMPARE(dsp.voipLines + endpoint.voipLines + amp.voipLines, QStringList{"SIP Receive"});
        // The command line moves the design's ports, or gives any number of devices "any free port".
        SimOptions moved, free;
        QCOMPARE(moved.parse({"kvrsim", "--design", Design, "--base-port", "20100"}), SimOptions::Outcome::Run);
        QVERIFY2(SimDeviceSource::collect(moved, &devices, &error), qPrintable(error));
        // Moved past the last port, nothing is moved.
        QVERIFY(!SimDeviceSource::remapPorts(&devices, 65534, &error));
        QList<int> numbered;
        for (const SimDeviceInfo &device : std::as_const(devices))
            numbered << device.nodeId << device.port;
        QCOMPARE(free.parse({"kvrsim", "--port", "10060", "--port", "0", "--port", "0"}), SimOptions::Outcome::Run);
        QVERIFY2(SimDeviceSource::collect(free, &devices, &error), qPrintable(error));
        for (const SimDeviceInfo &device : std::as_const(devices))
            numbered << device.port;
        QCOMPARE(numbered, (QList<int>{1, 20100, 2, 20101, 3, 20102, 10060, 0, 0}));
    }

    void badDesigns_data()
    {
        columns<QString, QByteArray, QString>("name", "content", "message");
        const QByteArray head = "<Project version=\"4.6\"><Nodes><Node className=\"Halvern.Loom.Nodes.";
        const QByteArray tail = "</Node></Nodes></Project>";
        QTest::newRow("malformed") << "broken.kvp" << head + "Devices.ZMP\"></Nodes>" << "line ";
        QTest::newRow("no device")
            << "blocks.kvp" << head + "Gain\"><Property name=\"title\" value=\"Gain\"/>" + tail << "holds no device";
        QTest::newRow("port not a number")
            << "port.kvp"
            << head + "Devices.ZMP\"><Property name=\"label\" value=\"Lobby\"/>"
                      "<Property name=\"serialPortNumber\" value=\"ten\"/>" + tail
            << "\"ten\", which is no port number";
        QTest::newRow("port out of range")
            << "range.kvp" << head + "Devices.ZMP\"><Property name=\"serialPortNumber\" value=\"70000\"/>" + tail
            << "no port number";
        QTest::newRow("archive") << "panel.cpz" << QByteArray("not read") << "Give its design project";
        QTest::newRow("missing") << QString() << QByteArray() << "missing.kvp";
    }
    void badDesigns()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(name.isEmpty() ? QStringLiteral("missing.kvp") : name);
        QVERIFY(name.isEmpty() || transfertest::writeFile(path, content));
        QList<SimDeviceInfo> devices;
        QString error;
        QVERIFY(!SimDeviceSource::fromFile(path, &devices, &error));
        QVERIFY2(error.contains(message) && devices.isEmpty(), qPrintable(error));
    }

    // The design above is read through these rules; here their edges and what it lacks. A card is a block's
    // title, whose slot is asked unless 0, or its kind, whose level entries are asked unless -1.
    void cardSlots_data()
    {
        columns<QString, QString, QString, int, int, int>("device", "card", "cardType", "portIndex", "slot", "entries");
        QTest::newRow("XT-10C input 6, second quad") << "XT-10C" << "Input 6" << "" << -1 << 4 << -1;
        QTest::newRow("ZMP-40 input 13, no rule") << "ZMP-40" << "Input 13" << "" << -1 << 13 << -1;
        QTest::newRow("amplifier output by port") << "PQ306D" << "Amp Output" << "" << 5 << 2 << -1;
        QTest::newRow("amplifier port out of range") << "KA3100N" << "Analog In" << "" << 11 << 12 << -1;
        QTest::newRow("no channel number") << "ZMP-30" << "Gain" << "" << -1 << -1 << -1;
        QTest::newRow("Dante of a processor") << "ZMP-60" << "DanteTx" << "" << -1 << 0 << 64;
        QTest::newRow("Dante with a bad channel count") << "XT-10C" << "DanteRx" << "Dante 0In0Out" << -1 << 0 << 32;
        QTest::newRow("link") << "ZMP-40" << "DriveNet" << "" << -1 << 0 << 8;
        QTest::newRow("block") << "ZMP-40" << "Gain" << "" << -1 << 0 << 0;
    }
    void cardSlots()
    {
        QFETCH(QString, device);
        QFETCH(QString, card);
        QFETCH(QString, cardType);
        QFETCH(int, portIndex);
        QFETCH(int, slot);
        QFETCH(int, entries);
        if (slot)
            QCOMPARE(SimCardSlots::slotNumber(device, card, portIndex), slot);
        if (entries >= 0)
            QCOMPARE(SimCardSlots::levelEntries(card, cardType, device), entries);
    }

    void options()
    {
        SimOptions full;
        QCOMPARE(full.parse({"kvrsim", "--port", "0", "--bind", "::1", "--log", "x.log", "--quiet", "--drop-every", "5",
                             "--nak-every", "7", "--close-after", "9", "--delay", "250", "--refuse", "--no-subscribe",
                             "--silent-after", "11", "--stall-after", "13", "--split-replies", "--restart-every",
                             "60"}),
                 SimOptions::Outcome::Run);
        QCOMPARE(full.bindAddress + ' ' + full.logFile, QStringLiteral("::1 x.log"));
        const SimFaults &f = full.faults;
        QCOMPARE((full.ports + QList<int>{f.dropEvery, f.nakEvery, f.closeAfter, f.delayMs, f.refuse, f.noSubscribe,
                                          full.quiet, f.silentAfter, f.stallAfter, f.splitReplies, f.restartEveryS}),
                 (QList<int>{0, 5, 7, 9, 250, 1, 1, 1, 11, 13, 1, 60}));
        for (const QStringList &arguments : QList<QStringList>{
                 {"--port", "1", "--design", "d.kvp"}, {"--base-port", "2000"}, {"--port", "65536"}, {"--delay", "-1"},
                 {"--drop-every", "0"}, {"--restart-every", "0"}, {"--close-after", "two"}, {"--bind", "localhost"},
                 {"design.kvp"}, {"--port"}}) {
            SimOptions options;
            const bool refused = options.parse(QStringList{"kvrsim"} + arguments) == SimOptions::Outcome::Error;
            QVERIFY2(refused && !options.message().isEmpty(), qPrintable(arguments.join(' ')));
        }
    }

    void cleanup()
    {
        sim.kill();
        sim.waitForFinished(Timeout);
    }

    void servesADesignUntilSignalled_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void servesADesignUntilSignalled()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir dir;
        const QString logPath = dir.filePath(QStringLiteral("sim.log"));
        const QMap<int, quint16> ports = start({"--design", Design, "--base-port", "0", "--log", logPath}, 3);
        QCOMPARE(names.values(), QStringList({"Boardroom DSP (ZMP-30)", QString::fromUtf8("Salle de réunion (XT-10C)"),
                                     "Training Amp (KA6200N)"}));
        {
            // Each device keeps its own values, and meters its design's cards.
            simtest::OtherStation dsp(ports.value(1)), endpoint(ports.value(2));
            QCOMPARE((QByteArrayList{dsp.ask("SA \"Gain 1\">1=-5.0"), dsp.ask("GA\"Gain 1\">1"),
                                     endpoint.ask("GA\"Gain 1\">1"), endpoint.ask("GL 7").left(14)}),
                     (QByteArrayList{"\x06", "GA\"Gain 1\">1=-5.0\r", "GA\"Gain 1\">1=0.0\r", "GL 7 1 32 100 "}));
        }
        sim.write("set GA\"Gain 2\">1 -7.0\n");
        QVERIFY(waitFor([&] { return out.endsWith("ok\n"); }));
        QCOMPARE(simtest::OtherStation(ports.value(1)).ask("GA\"Gain 2\">1"), QByteArray("GA\"Gain 2\">1=-7.0\r"));
        ::kill(pid_t(sim.processId()), signalNumber);
        QVERIFY(sim.waitForFinished(Timeout));
        QCOMPARE((QList<int>{sim.exitStatus(), sim.exitCode()}), (QList<int>{QProcess::NormalExit, 0}));
        const QString text = QString::fromUtf8(transfertest::readFile(logPath));
        QVERIFY2(text.contains("< SA \"Gain 1\">1=-5.0") && text.contains("> GA\"Gain 1\">1=-5.0<CR>"),
                 qPrintable(text));
        QVERIFY(text.contains(QString("signal %1: stopping").arg(signalNumber)) && text.trimmed().endsWith("stopped"));
    }

    // A call rings at start; the far end hangs up and calls again on commands typed on standard input.
    void ringsOnRequest()
    {
        const quint16 port = start({"--port", "0", "--quiet", "--voip-line", "SIP Receive", "--ring",
                                    "SIP Receive=Front Desk"}, 1).value(1);
        QVERIFY(printed("kvrsim: ring \"SIP Receive\": ok\n"));
        simtest::OtherStation phone(port);
        const auto status = [&phone] { return phone.ask("GA\"SIP Receive\">16"); };
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"INCOMING\"&\"Front Desk\"\r"));
        out.clear();
        sim.write("hangup \"SIP Receive\"\n");
        QVERIFY(printed("ok\n"));
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"IDLE\"\r"));
        sim.write("ring \"SIP Receive\" Lobby 2\nring Nowhere\nring\n");
        QVERIFY(printed("error: ring needs a line") && out.contains("error: no phone line \"Nowhere\"\n"));
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"INCOMING\"&\"Lobby 2\"\r"));
        // What is no dialer command is refused; the dialers' own commands meet the dialers' tests online.
        QCOMPARE(phone.ask("SA \"SIP Receive\">16=RING"), QByteArray("\x15"));
    }

    void rejectsBadCommandLines_data()
    {
        columns<QStringList, int, QString>("arguments", "exitCode", "message");
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << "frobnicate";
        QTest::newRow("two devices on one port") << QStringList{"--design", Design} << 1 << "both use port 10055";
    }
    void rejectsBadCommandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        sim.start(QStringLiteral(KVR_SIM_PATH), arguments);
        QVERIFY(sim.waitForFinished(Timeout));
        QTEST(sim.exitCode(), "exitCode");
        const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
        QVERIFY2(err.contains(message), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestSimConfig)
#include "tst_simconfig.moc"
