// The processor time a panel of 24 meters costs while online: four devices
// served by kvrsim in its own process, six meters on each (four inputs of
// card slot 1, two outputs of slot 2) at 4 readings a second. The program's
// own user and system time over a 20 s window, as a share of one core,
// with the panel drawn offscreen as it changes; the levels asked for and the
// reports received are counted on the way.
//
//   bench_metercpu [path of kvrsim]     (default: ../kvrsim beside bench/)

#include "../tests/ModelScene.h"
#include "BenchDesign.h"
#include "BenchFiles.h"
#include "CComposite.h"
#include "HChassis.h"
#include "HRoot.h"
#include "IInterface.h"
#include "UArchive.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTcpServer>
#include <QTimer>

namespace {
constexpr int Devices = 4;
constexpr int MetersPerDevice = 6;
constexpr int WindowMs = 20000;

// Runs the event loop for ms: the program idles as it would between events.
void pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString design(const QList<quint16> &ports)
{
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\n<Project version=\"4.6\">\n<Nodes>\n";
    for (int d = 1; d <= Devices; ++d) {
        bench::writeDevice(s, d, QStringLiteral("127.0.0.1"), ports.at(d - 1));
        for (int m = 0; m < MetersPerDevice; ++m) {
            const bool input = m < 4;
            const int channel = input ? m + 1 : m - 3;
            bench::writeChannel(s, input, channel, QStringLiteral("%1 %2.%3").arg(input ? "In" : "Out").arg(d).arg(channel),
                                100 + m);
        }
    }
    s << "</Nodes>\n</Project>\n";
    return out;
}

QString panel()
{
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<KVD>\n<Canvas><Property name=\"attributes\">"
         "<skin>Light</skin><accent>Blue</accent><size>6</size><aspect>1.77778</aspect>"
         "<orientation>1</orientation><horizcenter>1</horizcenter></Property></Canvas>\n<Scenes>\n"
         "<Scene name=\"Levels\"><Panels><Panel name=\"Meters\" type=\"complete\"><Controls>\n";
    int id = 1;
    for (int d = 1; d <= Devices; ++d) {
        for (int m = 0; m < MetersPerDevice; ++m) {
            const bool input = m < 4;
            const int channel = input ? m + 1 : m - 3;
            const int cell = (d - 1) * MetersPerDevice + m;
            const int x = 4 + (cell % 12) * 42, y = 4 + (cell / 12) * 210;
            s << "<Control name=\"Meter 1\" type=\"Meter\"><block>" << (input ? "In " : "Out ") << d << "." << channel
              << "</block><nodeID>" << 100 + m << "</nodeID><nodeCategory>Analog I/O</nodeCategory><connection>Chassis|||"
              << d << "</connection><id>" << id++ << "</id><Property name=\"widget\"><frame><x>" << x << "</x><y>" << y
              << "</y><width>40</width><height>206</height><hasBorder>1</hasBorder></frame><meter><x>" << x + 4
              << "</x><y>" << y + 4 << "</y><width>32</width><height>198</height><z>1</z><minimum>-60</minimum>"
              << "<maximum>0</maximum><colorBreakValue1>-20</colorBreakValue1><colorBreakValue2>-6</colorBreakValue2>"
              << "<meterRate>4x/s</meterRate><text>*LABEL*</text></meter></Property><Property name=\"attributes\">"
              << "<range><index1>1</index1><struct>10</struct><minimum>-60</minimum><maximum>0</maximum>"
              << "<step>0.5</step><units>dB</units><format>nn.n</format><transform>strV</transform></range>"
              << "</Property></Control>\n";
        }
    }
    s << "</Controls></Panel></Panels></Scene>\n</Scenes>\n</KVD>\n";
    return out;
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    const QString sim = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                 : QCoreApplication::applicationDirPath() + QStringLiteral("/../kvrsim");

    QList<quint16> ports;
    QStringList arguments{QStringLiteral("--quiet")};
    for (int d = 0; d < Devices; ++d) {
        ports << freePort();
        arguments << QStringLiteral("--port") << QString::number(ports.last());
    }
    QProcess devices;
    devices.start(sim, arguments);
    if (!devices.waitForStarted(5000) || !devices.waitForReadyRead(5000)) {
        QTextStream(stderr) << "cannot start " << sim << '\n';
        return 1;
    }

    QTemporaryDir dir;
    const QString kvp = dir.path() + "/Meters.kvp", cpf = dir.path() + "/Meters.cpf", cpz = dir.path() + "/Meters.cpz";
    QFile k(kvp), c(cpf);
    UArchive packer;
    if (!k.open(QIODevice::WriteOnly) || k.write(design(ports).toLatin1()) < 0 || !c.open(QIODevice::WriteOnly)
        || c.write(panel().toUtf8()) < 0) {
        QTextStream(stderr) << "cannot write the archive\n";
        return 1;
    }
    k.close();
    c.close();
    packer.addFile(cpf);
    packer.addFile(kvp);
    packer.write(cpz);

    ModelScene scene;
    if (!scene.setUp()) {
        QTextStream(stderr) << "cannot load the scene\n";
        return 1;
    }
    VQmlFrame &view = *scene.view;
    MModel &model = *scene.model;
    view.resize(scene.canvas.width(), scene.canvas.height());
    view.show();
    if (!model.openFile(cpz)) {
        QTextStream(stderr) << "cannot open the archive\n";
        return 1;
    }
    int frames = 0;
    QObject::connect(&view, &QQuickWindow::frameSwapped, [&] { ++frames; });
    model.setOnline(true);
    QElapsedTimer wait;
    wait.start();
    const auto connected = [&] {
        int n = 0;
        for (HNode *node : model.hardwareRoot()->children())
            if (auto *chassis = qobject_cast<HChassis *>(node))
                n += chassis->interface() && chassis->interface()->isConnected() ? 1 : 0;
        return n;
    };
    while (connected() < Devices && wait.elapsed() < 10000)
        pump(50);
    out << "devices online: " << connected() << " of " << Devices << ", meters: " << Devices * MetersPerDevice << '\n';
    pump(2000);

    frames = 0;
    const double cpuBefore = bench::cpuSeconds();
    QElapsedTimer window;
    window.start();
    pump(WindowMs);
    const double cpu = bench::cpuSeconds() - cpuBefore;
    const double wall = window.elapsed() / 1000.0;
    out << QStringLiteral("online, 24 meters at 4x/s on 4 devices: %1 s of processor time in %2 s = %3 % of one core, "
                          "%4 frames drawn\n")
               .arg(cpu, 0, 'f', 2)
               .arg(wall, 0, 'f', 1)
               .arg(100.0 * cpu / wall, 0, 'f', 2)
               .arg(frames);
    model.setOnline(false);
    devices.terminate();
    devices.waitForFinished(3000);
    return 0;
}
