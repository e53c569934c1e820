#include "SimConsole.h"
#include "SimDevice.h"
#include "SimLog.h"
#include "SimDeviceInfo.h"
#include "SimDeviceSource.h"
#include "SimPhoneLine.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QtTest>

namespace {
constexpr int Timeout = 5000;
// Automatic steps of the lines under test: short, but long enough that
// two commands given at once land before the step.
constexpr int StepMs = 40;
} // namespace

class tst_SimPhone : public QObject
{
    Q_OBJECT
private slots:
    // Each step is an action and the status answer it must lead to. An
    // action is a command, "ring:<caller>", "hangup", or "wait" for the
    // line's next automatic step.
    void callsThroughEveryState_data()
    {
        QTest::addColumn<bool>("voip");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("PSTN through dial tone")
            << false
            << QStringList{"CALL", "DIALTONE", "DIGIT 5", "DIALING&5", "DIGIT 5", "DIALING&55", "wait",
                           "RINGBACK&55", "wait", "ACTIVE&55", "DIGIT 7", "ACTIVE&55", "HOLD", "HOLD&55",
                           "RESUME", "ACTIVE&55", "END", "HANGUP"};
        QTest::newRow("VoIP with a number")
            << true
            << QStringList{"call 201", "\"OUTGOING\"&\"201\"", "wait", "\"RINGBACK\"&\"201\"", "wait",
                           "\"ACTIVE\"&\"201\"", "END", "\"IDLE\""};
        QTest::newRow("engaged") << false
                                 << QStringList{"CALL 999", "DIALING&999", "wait", "BUSY&999", "END", "HANGUP"};
        QTest::newRow("typed before calling")
            << false << QStringList{"DIGIT 1", "HANGUP", "DIGIT 2", "HANGUP", "BACKSPACE", "HANGUP", "CALL", "DIALING&1"};
        QTest::newRow("incoming accepted")
            << false << QStringList{"ring:Front; Desk&\"", "INCOMING&Front Desk", "ACCEPT", "ACTIVE&Front Desk",
                                    "hangup", "HANGUP"};
        QTest::newRow("incoming declined") << true
                                           << QStringList{"ring:", "\"INCOMING\"", "END", "\"IDLE\""};
        QTest::newRow("call waiting by flash")
            << false << QStringList{"ring:A", "INCOMING&A", "ACCEPT", "ACTIVE&A", "ring:B", "ACTIVE_INCOMING&B",
                                    "FLASH", "ACTIVE&B", "END", "HOLD&A", "RESUME", "ACTIVE&A"};
        QTest::newRow("hold and accept")
            << true << QStringList{"ring:A", "\"INCOMING\"&\"A\"", "ACCEPT", "\"ACTIVE\"&\"A\"", "ring:B",
                                   "\"ACTIVE_INCOMING\"&\"B\"", "HOLDACCEPT", "\"ACTIVE\"&\"B\"", "END",
                                   "\"HOLD\"&\"A\""};
        QTest::newRow("end and accept, decline and stay")
            << false << QStringList{"ring:A", "INCOMING&A", "ACCEPT", "ACTIVE&A", "ring:B", "ACTIVE_INCOMING&B",
                                    "ENDACCEPT", "ACTIVE&B", "ring:C", "ACTIVE_INCOMING&C", "DECLINE", "ACTIVE&B",
                                    "END", "HANGUP"};
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
        settings.stepMs = StepMs;
        settings.busyNumbers = {"999"};
        SimPhoneLine line("Line", voip ? SimPhoneLine::Kind::Voip : SimPhoneLine::Kind::Pstn, settings);
        for (int i = 0; i + 1 < steps.size(); i += 2) {
            const QString action = steps[i];
            const QString expected = steps[i + 1];
            if (action == "wait")
                QTRY_COMPARE_WITH_TIMEOUT(line.statusText(), expected, Timeout);
            else if (action.startsWith("ring:"))
                QVERIFY(line.ring(action.mid(5)));
            else if (action == "hangup")
                QVERIFY(line.farEndHangUp());
            else
                QVERIFY2(line.command(action), qPrintable(action));
            QCOMPARE(line.statusText(), expected);
        }
    }

    void refusesWhatIsNoCommand()
    {
        SimPhoneLine line("Line", SimPhoneLine::Kind::Pstn, SimPhoneSettings());
        for (const char *text : {"RING", "DIGIT 55", "DIGIT", "CALL 12a", "END now", "", "CALL " "12345678901234567890"
                                 "12345678901234567890123456789012345678901234567890"}) {
            QVERIFY2(!SimPhoneLine::isCommand(text), text);
            QVERIFY(!line.command(text));
        }
        QCOMPARE(line.statusText(), QStringLiteral("HANGUP"));
        QVERIFY(line.ring("A"));
        QVERIFY(!line.ring("B"));
        QVERIFY(!SimPhoneLine(QString(), SimPhoneLine::Kind::Pstn, SimPhoneSettings()).farEndHangUp());
    }

    void designGivesTheLines()
    {
        QList<SimDeviceInfo> devices;
        QString error;
        QVERIFY2(SimDeviceSource::fromFile(KVR_TEST_DATA "/devicesim/conference_centre.kvp", &devices, &error),
                 qPrintable(error));
        QStringList pstn, voip;
        for (const SimDeviceInfo &d : devices) {
            pstn += d.pstnLines;
            voip += d.voipLines;
        }
        QCOMPARE(pstn, QStringList{"Phone Receive"});
        QCOMPARE(voip, QStringList{"SIP Receive"});
    }

    void consoleLines()
    {
        SimLog log;
        log.setQuiet(true);
        SimDevice device(SimDeviceInfo(), SimFaults(), &log);
        device.phoneLines().declare("Phone Receive", SimPhoneLine::Kind::Pstn);
        SimConsole console({&device});
        QCOMPARE(console.execute("ring \"Phone Receive\" Front  Desk"), QStringLiteral("ok"));
        QCOMPARE(device.phoneLines().find("Phone Receive")->statusText(), QStringLiteral("INCOMING&Front Desk"));
        QCOMPARE(console.execute("ring \"Phone Receive\" Lobby"),
                 QStringLiteral("error: a call is already waiting on \"Phone Receive\""));
        QCOMPARE(console.execute("hangup \"Phone Receive\""), QStringLiteral("ok"));
        QCOMPARE(console.execute("hangup \"Phone Receive\""), QStringLiteral("error: no call on \"Phone Receive\""));
        QCOMPARE(console.execute("hangup Phone Receive"), QStringLiteral("error: hangup needs a line: hangup LINE"));
        QCOMPARE(console.execute("ring Nowhere"), QStringLiteral("error: no phone line \"Nowhere\""));
        QVERIFY(console.execute("dial 5").startsWith("error: unknown command \"dial\""));
    }

    // The simulator as a program: a call rings at start, the far end hangs
    // up and calls again on commands typed on its standard input.
    void ringsOnRequest()
    {
        QProcess sim;
        sim.start(QStringLiteral(KVR_SIM_PATH),
                  {"--port", "0", "--quiet", "--voip-line", "SIP Receive", "--ring", "SIP Receive=Front Desk"});
        QVERIFY2(sim.waitForStarted(Timeout), qPrintable(sim.errorString()));
        QByteArray out;
        const auto waitFor = [&](const QByteArray &text) {
            return QTest::qWaitFor([&] { return (out += sim.readAllStandardOutput()).contains(text); }, Timeout);
        };
        QVERIFY(waitFor("kvrsim: ring \"SIP Receive\": ok\n"));
        const QRegularExpressionMatch port = QRegularExpression("listening on 127\\.0\\.0\\.1:(\\d+)").match(out);
        QVERIFY(port.hasMatch());
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(port.captured(1).toUInt()));
        QVERIFY(socket.waitForConnected(Timeout));
        QByteArray received;
        const auto status = [&]() {
            received.clear();
            socket.write("GA\"SIP Receive\">16\r");
            if (!QTest::qWaitFor([&] { return (received += socket.readAll()).endsWith('\r'); }, Timeout))
                qWarning() << "no status answer";
            return received;
        };
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"INCOMING\"&\"Front Desk\"\r"));
        out.clear();
        sim.write("hangup \"SIP Receive\"\n");
        QVERIFY(waitFor("ok\n"));
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"IDLE\"\r"));
        sim.write("ring \"SIP Receive\" Lobby 2\nring Nowhere\nring\n");
        QVERIFY(waitFor("error: ring needs a line"));
        QVERIFY(out.contains("error: no phone line \"Nowhere\"\n"));
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"INCOMING\"&\"Lobby 2\"\r"));
        // Dialer commands are acknowledged; others on the line refused.
        received.clear();
        socket.write("SA \"SIP Receive\">16=ACCEPT\rSA \"SIP Receive\">16=RING\r");
        QVERIFY(QTest::qWaitFor([&] { return (received += socket.readAll()).size() >= 2; }, Timeout));
        QCOMPARE(received.replace(';', QByteArray()), QByteArray("\x06\x15"));
        QCOMPARE(status(), QByteArray("GA\"SIP Receive\">16=\"ACTIVE\"&\"Lobby 2\"\r"));
        sim.terminate();
        QVERIFY(sim.waitForFinished(Timeout));
        QCOMPARE(sim.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_SimPhone)
#include "tst_simphone.moc"
