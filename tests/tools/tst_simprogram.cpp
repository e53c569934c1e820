// The simulator as a program: serving the devices of a design until it is
// signalled, commands typed on its standard input, telephone calls it rings,
// and the command lines it refuses.

#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>

namespace {

constexpr int Timeout = 5000;

// A client of a device that collects every byte it is sent.
struct Peer
{
    explicit Peer(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { received += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(Timeout);
    }
    // Sends command and answers what came back (length bytes, else a line),
    // without the ";" that joins answers.
    QByteArray exchange(const QByteArray &command, int length = 0)
    {
        received.clear();
        socket.write(command);
        if (!QTest::qWaitFor([&] { return length ? received.size() >= length : received.endsWith('\r'); }, Timeout))
            qWarning() << "no answer to" << command;
        QByteArray answer = std::exchange(received, QByteArray());
        return answer.replace(';', QByteArray());
    }
    QTcpSocket socket;
    QByteArray received;
};

} // namespace

class tst_SimProgram : public QObject
{
    Q_OBJECT
    QProcess sim;
    QByteArray out; // what it printed so far

    // Starts kvrsim with arguments and waits until each of count devices
    // named the port the system picked; answers their ports by device number.
    QMap<int, quint16> start(const QStringList &arguments, int count, QStringList *names = nullptr)
    {
        out.clear();
        sim.start(QStringLiteral(KVR_SIM_PATH), arguments);
        if (!sim.waitForStarted(Timeout))
            return {};
        static const QRegularExpression listening(QStringLiteral(R"(device (\d) ([^\n]*) listening on 127\.0\.0\.1:(\d+)\n)"));
        QMap<int, quint16> ports;
        waitFor([&] {
            for (QRegularExpressionMatchIterator it = listening.globalMatch(QString::fromUtf8(out)); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                if (!ports.contains(m.captured(1).toInt()) && names)
                    names->append(m.captured(2));
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
    void cleanup()
    {
        if (sim.state() != QProcess::NotRunning) {
            sim.kill();
            sim.waitForFinished(Timeout);
        }
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
        QStringList names;
        const QMap<int, quint16> ports = start({"--design", KVR_TEST_DATA "/devicesim/conference_centre.kvp",
                                                "--base-port", "0", "--log", logPath}, 3, &names);
        QCOMPARE(names, QStringList({"Boardroom DSP (ZMP-30)", QString::fromUtf8("Salle de réunion (XT-10C)"),
                                     "Training Amp (KA6200N)"}));
        {
            // Each device keeps its own values, and meters its design's cards.
            Peer dsp(ports.value(1)), endpoint(ports.value(2));
            QCOMPARE(dsp.exchange("SA \"Gain 1\">1=-5.0\r", 1), QByteArray("\x06"));
            QCOMPARE(dsp.exchange("GA\"Gain 1\">1\r"), QByteArray("GA\"Gain 1\">1=-5.0\r"));
            QCOMPARE(endpoint.exchange("GA\"Gain 1\">1\r"), QByteArray("GA\"Gain 1\">1=0.0\r"));
            QVERIFY(endpoint.exchange("GL 7\r").startsWith("GL 7 1 32 100 "));
        }
        // A value changed at the devices from standard input.
        sim.write("set GA\"Gain 2\">1 -7.0\n");
        QVERIFY(waitFor([&] { return out.endsWith("ok\n"); }));
        QCOMPARE(Peer(ports.value(1)).exchange("GA\"Gain 2\">1\r"), QByteArray("GA\"Gain 2\">1=-7.0\r"));
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

    // A call rings at start; the far end hangs up and calls again on
    // commands typed on standard input.
    void ringsOnRequest()
    {
        const quint16 port = start({"--port", "0", "--quiet", "--voip-line", "SIP Receive", "--ring",
                                    "SIP Receive=Front Desk"}, 1).value(1);
        QVERIFY(printed("kvrsim: ring \"SIP Receive\": ok\n"));
        Peer phone(port);
        const auto status = [&phone] { return phone.exchange("GA\"SIP Receive\">16\r"); };
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"INCOMING\"&\"Front Desk\"\r"));
        out.clear();
        sim.write("hangup \"SIP Receive\"\n");
        QVERIFY(printed("ok\n"));
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"IDLE\"\r"));
        sim.write("ring \"SIP Receive\" Lobby 2\nring Nowhere\nring\n");
        QVERIFY(printed("error: ring needs a line"));
        QVERIFY(out.contains("error: no phone line \"Nowhere\"\n"));
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"INCOMING\"&\"Lobby 2\"\r"));
        // Dialer commands are acknowledged; others on the line refused.
        QCOMPARE(phone.exchange("SA \"SIP Receive\">16=ACCEPT\rSA \"SIP Receive\">16=RING\r", 2), QByteArray("\x06\x15"));
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"ACTIVE\"&\"Lobby 2\"\r"));
        sim.terminate();
        QVERIFY(sim.waitForFinished(Timeout));
        QCOMPARE(sim.exitCode(), 0);
    }

    void rejectsBadCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << "frobnicate";
        QTest::newRow("two devices on one port")
            << QStringList{"--design", KVR_TEST_DATA "/devicesim/conference_centre.kvp"} << 1 << "both use port 10055";
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

QTEST_GUILESS_MAIN(tst_SimProgram)
#include "tst_simprogram.moc"
