#include "SimCardSlots.h"
#include "SimDesignReader.h"
#include "SimDeviceInfo.h"
#include "SimDeviceSource.h"
#include "SimOptions.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Design = QStringLiteral(KVR_TEST_DATA "/devicesim/conference_centre.kvp");

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

} // namespace

// How the simulator learns which devices to serve: the design project
// reader with its card-slot rules, the command line and the port checks.
class TestSimConfig : public QObject
{
    Q_OBJECT

private slots:
    void readsTheDevicesOfADesign();
    void badDesigns_data();
    void badDesigns();
    void slotNumber_data();
    void slotNumber();
    void levelEntries_data();
    void levelEntries();
    void designDevicesNeedPortsOfTheirOwn();
    void devicesFromPorts();
    void options_data();
    void options();
};

void TestSimConfig::readsTheDevicesOfADesign()
{
    QList<SimDeviceInfo> devices;
    QString error;
    QVERIFY2(SimDesignReader::read(Design, &devices, &error), qPrintable(error));
    // The device inside the logic block's own view is no hardware.
    QCOMPARE(devices.size(), 3);

    const SimDeviceInfo &dsp = devices.at(0);
    QCOMPARE(dsp.nodeId, 1);
    QCOMPARE(dsp.label, QStringLiteral("Boardroom DSP"));
    QCOMPARE(dsp.model, QStringLiteral("ZMP-30"));
    QCOMPARE(dsp.address, QStringLiteral("192.168.10.21"));
    QCOMPARE(dsp.port, 10055);
    const QMap<int, int> dspSlots = {{1, 4}, {2, 4}, {3, 8}, {6, 128}};
    QCOMPARE(dsp.levelEntries, dspSlots);

    const SimDeviceInfo &endpoint = devices.at(1);
    QCOMPARE(endpoint.nodeId, 2);
    QCOMPARE(endpoint.label, QStringLiteral("Salle de r\u00e9union")); // from Windows-1252
    QCOMPARE(endpoint.model, QStringLiteral("XT-10C"));
    const QMap<int, int> endpointSlots = {{4, 4}, {7, 32}, {9, 4}, {10, 4}, {11, 2}};
    QCOMPARE(endpoint.levelEntries, endpointSlots);

    const SimDeviceInfo &amp = devices.at(2);
    QCOMPARE(amp.nodeId, 3);
    QCOMPARE(amp.model, QStringLiteral("KA6200N"));
    QCOMPARE(amp.port, SimDeviceInfo::DefaultPort); // no port in the design
    const QMap<int, int> ampSlots = {{1, 8}, {2, 8}};
    QCOMPARE(amp.levelEntries, ampSlots);
    QCOMPARE(amp.levelEntryCount(5), SimDeviceInfo::DefaultLevelEntries);
}

void TestSimConfig::badDesigns_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");

    QTest::newRow("malformed") << "broken.kvp"
                               << QByteArray("<?xml version=\"1.0\"?>\n<Project version=\"4.6\">\n<Nodes>\n"
                                             "<Node className=\"ZMP\"></Nodes>\n")
                               << "line ";
    QTest::newRow("no device") << "blocks.kvp"
                               << QByteArray("<Project version=\"4.6\"><Nodes>"
                                             "<Node className=\"Halvern.Loom.Nodes.Gain\">"
                                             "<Property name=\"title\" value=\"Gain\"/></Node>"
                                             "</Nodes></Project>")
                               << "holds no device";
    QTest::newRow("port not a number")
        << "port.kvp"
        << QByteArray("<Project version=\"4.6\"><Nodes>"
                      "<Node className=\"Halvern.Loom.Nodes.Devices.ZMP\">"
                      "<Property name=\"label\" value=\"Lobby\"/>"
                      "<Property name=\"serialPortNumber\" value=\"ten\"/></Node>"
                      "</Nodes></Project>")
        << "\"ten\", which is no port number";
    QTest::newRow("port out of range")
        << "range.kvp"
        << QByteArray("<Project version=\"4.6\"><Nodes>"
                      "<Node className=\"Halvern.Loom.Nodes.Devices.ZMP\">"
                      "<Property name=\"serialPortNumber\" value=\"70000\"/></Node>"
                      "</Nodes></Project>")
        << "no port number";
    QTest::newRow("archive") << "panel.cpz" << QByteArray("not read") << "Give its design project";
    QTest::newRow("missing") << QString() << QByteArray() << "missing.kvp";
}

void TestSimConfig::badDesigns()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = name.isEmpty() ? dir.filePath(QStringLiteral("missing.kvp"))
                                        : writeFile(dir, name, content);
    QList<SimDeviceInfo> devices;
    QString error;
    QVERIFY(!SimDeviceSource::fromFile(path, &devices, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(devices.isEmpty());
}

void TestSimConfig::slotNumber_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("card");
    QTest::addColumn<int>("portIndex");
    QTest::addColumn<int>("slot");

    QTest::newRow("XT-10C input 6") << "XT-10C" << "Input 6" << -1 << 4;
    QTest::newRow("XT-10 input 12") << "XT-10" << "Input 12" << -1 << 5;
    QTest::newRow("XT-10 output 7") << "XT-10" << "Output 7" << -1 << 2;
    QTest::newRow("XT-10 PSTN") << "XT-10" << "PSTN Out" << -1 << 11;
    QTest::newRow("XT-10 USB") << "XT-10" << "USB In" << -1 << 10;
    QTest::newRow("ZMP-30AD output 3") << "ZMP-30AD" << "Output 3" << -1 << 2;
    QTest::newRow("ZMP-30 input 5") << "ZMP-30 (Main)" << "Input 5" << -1 << 3;
    QTest::newRow("ZMP-30 link") << "ZMP-30" << "ZMPLink Tx" << -1 << 5;
    QTest::newRow("ZMP-50 input 12") << "ZMP-50A" << "Input 12" << -1 << 4;
    QTest::newRow("ZMP-50 Dante") << "ZMP-50" << "Dante In" << -1 << 6;
    QTest::newRow("ZMP-40 input 13, no rule") << "ZMP-40" << "Input 13" << -1 << 13;
    QTest::newRow("ZMP-40 output 10") << "ZMP-40" << "Output 10" << -1 << 4;
    QTest::newRow("ZMP-60 input 15") << "ZMP-60" << "Input 15" << -1 << 4;
    QTest::newRow("XT-30C VoIP") << "XT-30C" << "VoIP In" << -1 << 9;
    QTest::newRow("XT-20AEC Dante") << "XT-20AEC" << "Dante Out" << -1 << 7;
    QTest::newRow("amplifier input by port") << "KA6200N" << "Analog In" << 2 << 1;
    QTest::newRow("amplifier output by port") << "PQ306D" << "Amp Output" << 5 << 2;
    QTest::newRow("amplifier port out of range") << "KA3100N" << "Analog In" << 11 << 12;
    QTest::newRow("no channel number") << "ZMP-30" << "Gain" << -1 << -1;
}

void TestSimConfig::slotNumber()
{
    QFETCH(QString, device);
    QFETCH(QString, card);
    QFETCH(int, portIndex);
    QFETCH(int, slot);
    QCOMPARE(SimCardSlots::slotNumber(device, card, portIndex), slot);
}

void TestSimConfig::levelEntries_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("cardType");
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("entries");

    QTest::newRow("PSTN") << "PstnRx" << "PSTN" << "XT-10C" << 2;
    QTest::newRow("VoIP") << "VoipTx" << "VOIP" << "XT-30C" << 4;
    QTest::newRow("USB") << "UsbRx" << "USB" << "XT-10" << 4;
    QTest::newRow("Dante by card") << "DanteRx" << "Dante 64In64Out" << "ZMP-50" << 128;
    QTest::newRow("Dante of an endpoint") << "DanteTx" << "" << "XT-10C" << 32;
    QTest::newRow("Dante of a processor") << "DanteTx" << "" << "ZMP-60" << 64;
    QTest::newRow("analog") << "Input" << "4ch Mic/Line Input" << "ZMP-30" << 4;
    QTest::newRow("AES3") << "Output" << "8ch AES3 Out" << "ZMP-30" << 8;
    QTest::newRow("amplifier") << "Input" << "4x4 Mic/Line" << "PQ204D" << 8;
    QTest::newRow("link") << "DriveNet" << "" << "ZMP-40" << 8;
    QTest::newRow("block") << "Gain" << "" << "ZMP-40" << 0;
}

void TestSimConfig::levelEntries()
{
    QFETCH(QString, kind);
    QFETCH(QString, cardType);
    QFETCH(QString, device);
    QFETCH(int, entries);
    QCOMPARE(SimCardSlots::levelEntries(kind, cardType, device), entries);
}

void TestSimConfig::designDevicesNeedPortsOfTheirOwn()
{
    SimOptions options;
    QCOMPARE(options.parse({"kvrsim", "--design", Design}), SimOptions::Outcome::Run);
    QList<SimDeviceInfo> devices;
    QString error;
    QVERIFY(!SimDeviceSource::collect(options, &devices, &error));
    QVERIFY2(error.contains(QStringLiteral("both use port 10055")), qPrintable(error));

    SimOptions moved;
    QCOMPARE(moved.parse({"kvrsim", "--design", Design, "--base-port", "20100"}),
             SimOptions::Outcome::Run);
    QVERIFY2(SimDeviceSource::collect(moved, &devices, &error), qPrintable(error));
    QCOMPARE(devices.size(), 3);
    for (int i = 0; i < devices.size(); ++i) {
        QCOMPARE(devices.at(i).port, 20100 + i);
        QCOMPARE(devices.at(i).nodeId, i + 1);
    }

    QList<SimDeviceInfo> many = devices;
    QVERIFY(!SimDeviceSource::remapPorts(&many, 65534, &error));
    QCOMPARE(many.at(0).port, 20100); // unchanged on failure

    SimOptions free;
    QCOMPARE(free.parse({"kvrsim", "--design", Design, "--base-port", "0"}), SimOptions::Outcome::Run);
    QVERIFY2(SimDeviceSource::collect(free, &devices, &error), qPrintable(error));
    for (const SimDeviceInfo &device : qAsConst(devices))
        QCOMPARE(device.port, 0);
}

void TestSimConfig::devicesFromPorts()
{
    SimOptions options;
    QCOMPARE(options.parse({"kvrsim", "--port", "10060", "--port", "0", "--port", "0"}),
             SimOptions::Outcome::Run);
    QList<SimDeviceInfo> devices;
    QString error;
    // Any number of devices may ask for "any free port".
    QVERIFY2(SimDeviceSource::collect(options, &devices, &error), qPrintable(error));
    QCOMPARE(devices.size(), 3);
    QCOMPARE(devices.at(0).port, 10060);
    QCOMPARE(devices.at(2).nodeId, 3);
    QCOMPARE(devices.at(2).levelEntryCount(1), SimDeviceInfo::DefaultLevelEntries);

    SimOptions twice;
    QCOMPARE(twice.parse({"kvrsim", "--port", "10060", "--port", "10060"}), SimOptions::Outcome::Run);
    QVERIFY(!SimDeviceSource::collect(twice, &devices, &error));
    QVERIFY(error.contains(QStringLiteral("Device 1 and Device 2 both use port 10060")));
}

void TestSimConfig::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("summary");
    const int run = int(SimOptions::Outcome::Run);
    const int error = int(SimOptions::Outcome::Error);

    QTest::newRow("nothing: one device on the standard port")
        << QStringList{} << run << "ports=10055 bind=127.0.0.1";
    QTest::newRow("faults") << QStringList{"--drop-every", "5", "--nak-every", "7", "--close-after", "9",
                                           "--delay", "250", "--refuse", "--no-subscribe"}
                            << run << "ports=10055 bind=127.0.0.1 faults=5/7/9/250/1/1";
    QTest::newRow("bind and log") << QStringList{"--port", "0", "--bind", "::1", "--log", "x.log", "--quiet"}
                                  << run << "ports=0 bind=::1 log=x.log quiet";
    QTest::newRow("help") << QStringList{"--help"} << int(SimOptions::Outcome::Help) << "";
    QTest::newRow("port and design") << QStringList{"--port", "1", "--design", "d.kvp"} << error << "";
    QTest::newRow("base port without design") << QStringList{"--base-port", "2000"} << error << "";
    QTest::newRow("port too big") << QStringList{"--port", "65536"} << error << "";
    QTest::newRow("negative delay") << QStringList{"--delay", "-1"} << error << "";
    QTest::newRow("nak every 0") << QStringList{"--nak-every", "0"} << error << "";
    QTest::newRow("close after text") << QStringList{"--close-after", "two"} << error << "";
    QTest::newRow("host name") << QStringList{"--bind", "localhost"} << error << "";
    QTest::newRow("stray argument") << QStringList{"design.kvp"} << error << "";
    QTest::newRow("missing value") << QStringList{"--port"} << error << "";
}

void TestSimConfig::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, outcome);
    QFETCH(QString, summary);
    SimOptions options;
    arguments.prepend(QStringLiteral("kvrsim"));
    QCOMPARE(int(options.parse(arguments)), outcome);
    if (outcome == int(SimOptions::Outcome::Help))
        QVERIFY(options.message().contains(QStringLiteral("--drop-every")));
    if (outcome == int(SimOptions::Outcome::Error))
        QVERIFY(!options.message().isEmpty());
    if (outcome != int(SimOptions::Outcome::Run))
        return;

    QStringList ports;
    for (int port : qAsConst(options.ports))
        ports.append(QString::number(port));
    QString text = QStringLiteral("ports=%1 bind=%2").arg(ports.join(QLatin1Char(',')), options.bindAddress);
    if (!options.logFile.isEmpty())
        text += QStringLiteral(" log=") + options.logFile;
    if (options.quiet)
        text += QStringLiteral(" quiet");
    const SimFaults &f = options.faults;
    if (f.dropEvery || f.nakEvery || f.closeAfter || f.delayMs || f.refuse || f.noSubscribe)
        text += QStringLiteral(" faults=%1/%2/%3/%4/%5/%6")
                    .arg(f.dropEvery)
                    .arg(f.nakEvery)
                    .arg(f.closeAfter)
                    .arg(f.delayMs)
                    .arg(int(f.refuse))
                    .arg(int(f.noSubscribe));
    QCOMPARE(text, summary);
}

QTEST_GUILESS_MAIN(TestSimConfig)
#include "tst_simconfig.moc"
