// Soak: the program's core online for a set time (10 minutes unless
// --seconds says otherwise) against 10 simulated devices in three kvrsim
// processes, one panel of 40 value controls shown (4 per device), with
// faults mixed in: every device drops 1 % of the commands and refuses 1 %
// with NAK and closes its connection now and then (every 150 commands);
// one device restarts every 90 s; one falls silent for 20 s (twice) and
// comes back. Meanwhile the program sets a value every second and a
// value is changed at a device every second.
//
// It reports
//   - values lost: a value changed at a device that the program did not show
//     within 2 s (of the change, or of the device's return),
//   - commands lost: a value the program set that is not the device's value
//     at the end,
//   - reconnect times after a device is back (silent device, restarting
//     device, closed connections), median and max,
//   - the time from a device falling silent to its being shown as not
//     connected,
//   - stuck records: a command waiting for its answer longer than three
//     times its deadline, a subscription pending longer than three times
//     its deadline,
//   - resident memory at 1, 5 and 10 minutes (10 %, 50 % and 100 % of a
//     shorter run) and the CPU time of this process (the core, its scene
//     and this harness; the devices run in their own processes) as a share
//     of one core.
//
//   bench_soak [--seconds S] [--kvrsim PATH]

#include "BenchFiles.h"
#include "BenchScene.h"
#include "CAttributes.h"
#include "CCanvas.h"
#include "CComposite.h"
#include "CControl.h"
#include "HChassis.h"
#include "HNode.h"
#include "HRoot.h"
#include "IComposite.h"
#include "ITcpClient.h"
#include "MModel.h"
#include "PKVDProtocol.h"
#include "TTransform.h"
#include "UArchive.h"
#include "VQmlFrame.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>

namespace {

constexpr int Devices = 10;
constexpr int BlocksPerDevice = 4;   // blocks 1, 2 set by the program; 3, 4 at the device
constexpr int RestartingDevice = 8;  // index
constexpr int SilentDevice = 9;
constexpr int SilentSeconds = 20;
constexpr int ShowWithinMs = 2000;
const QStringList CommonFaults{"--quiet", "--drop-every", "97", "--nak-every", "101", "--close-after", "150"};

QTextStream out(stdout);

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// One kvrsim process and the ports its devices listen on.
class SimProcess
{
public:
    bool start(const QString &program, QStringList arguments, int devices)
    {
        for (int i = 0; i < devices; ++i)
            arguments << "--port" << "0";
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, arguments);
        if (!m_process.waitForStarted(5000))
            return false;
        static const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        QByteArray text;
        QElapsedTimer clock;
        clock.start();
        while (text.count('\n') < devices && clock.elapsed() < 10000) {
            m_process.waitForReadyRead(500);
            text += m_process.readAllStandardOutput();
        }
        for (const QString &line : QString::fromUtf8(text).split('\n')) {
            const QRegularExpressionMatch m = listening.match(line);
            if (m.hasMatch())
                ports.append(quint16(m.captured(1).toUInt()));
        }
        // Console answers are not read; they must not fill the pipe.
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process,
                         [this] { m_process.readAllStandardOutput(); });
        return ports.size() == devices;
    }
    void command(const QString &line) { m_process.write(line.toUtf8() + '\n'); }
    void stop()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    QList<quint16> ports;

private:
    QProcess m_process;
};

QString panelFile()
{
    QString text;
    QTextStream s(&text);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<KVD>\n<Canvas><Property name=\"attributes\">"
         "<skin>Light</skin><accent>Blue</accent><size>6</size><aspect>1.77778</aspect>"
         "<orientation>1</orientation><horizcenter>1</horizcenter></Property></Canvas>\n<Scenes>\n"
         "<Scene name=\"Soak\"><Panels>\n<Panel name=\"Levels\" type=\"complete\"><Controls>\n";
    int id = 1;
    for (int d = 1; d <= Devices; ++d) {
        for (int b = 1; b <= BlocksPerDevice; ++b) {
            const int c = id - 1;
            const int x = 6 + (c % 8) * 34, y = 6 + (c / 8) * 90;
            s << "<Control name=\"Level\" type=\"Fader\"><block>Gain " << d << "." << b << "</block><nodeID>"
              << 1000 + b << "</nodeID><nodeCategory>Blocks</nodeCategory><connection>Chassis|||" << d
              << "</connection><id>" << id++ << "</id><Property name=\"widget\"><frame><x>" << x << "</x><y>" << y
              << "</y><width>30</width><height>86</height></frame></Property>"
              << "<Property name=\"attributes\"><range><index1>1</index1><minimum>-60</minimum><maximum>12</maximum>"
              << "<step>0.5</step><units>dB</units><format>nn.n</format><transform>strV</transform></range>"
              << "</Property></Control>\n";
        }
    }
    s << "</Controls></Panel>\n</Panels></Scene>\n</Scenes>\n</KVD>\n";
    return text;
}

QString figures(QList<qint64> values)
{
    if (values.isEmpty())
        return QStringLiteral("none measured");
    std::sort(values.begin(), values.end());
    return QStringLiteral("median %1 ms, max %2 ms (%3)")
        .arg(values.at(values.size() / 2))
        .arg(values.last())
        .arg(values.size());
}

// What the soak knows of one control.
struct Point
{
    int device = 0; // 0-based
    int block = 0;  // 1-based
    CControl *control = nullptr;
    QString query() const { return QStringLiteral("GA\"Gain %1.%2\">1").arg(device + 1).arg(block); }
};

// A value changed at a device, waiting to be shown.
struct Awaited
{
    QString value;
    qint64 since = 0;
};

// Reads a value from a device over a connection of its own, trying again
// when the device's faults swallow the question.
QString readAtDevice(quint16 port, const QString &query)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(3000))
        return QStringLiteral("<no connection>");
    const QByteArray prefix = query.toUtf8() + '=';
    for (int attempt = 0; attempt < 8; ++attempt) {
        socket.write(query.toUtf8() + '\r');
        QByteArray received;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 500) {
            socket.waitForReadyRead(100);
            received += socket.readAll();
            const int at = int(received.indexOf(prefix));
            const int end = at >= 0 ? int(received.indexOf('\r', at)) : -1;
            if (end > at)
                return QString::fromUtf8(received.mid(at + prefix.size(), end - at - prefix.size()));
        }
        if (socket.state() != QAbstractSocket::ConnectedState) {
            socket.abort();
            socket.connectToHost(QStringLiteral("127.0.0.1"), port);
            socket.waitForConnected(3000);
        }
    }
    return QStringLiteral("<no answer>");
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    // The faults make the core warn on purpose; the figures are what counts.
    QLoggingCategory::setFilterRules(QStringLiteral("kvr.*.debug=false\nkvr.*.warning=false\nqt.qml.*=false\ndefault.warning=false"));

    int seconds = 600;
    QString kvrsim = QCoreApplication::applicationDirPath() + QStringLiteral("/../kvrsim");
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--seconds"))
            seconds = qMax(30, args.at(i + 1).toInt());
        else if (args.at(i) == QLatin1String("--kvrsim"))
            kvrsim = args.at(i + 1);
    }

    // The devices: eight alike, one that restarts, one that falls silent.
    QTemporaryDir dir;
    SimProcess alike, restarting, silent;
    const QString restartLog = dir.filePath(QStringLiteral("restarting.log"));
    if (!alike.start(kvrsim, CommonFaults, 8)
        || !restarting.start(kvrsim, QStringList(CommonFaults) << "--restart-every" << "90" << "--log" << restartLog, 1)
        || !silent.start(kvrsim, CommonFaults, 1)) {
        QTextStream(stderr) << "cannot start " << kvrsim << " (give its path with --kvrsim)\n";
        return 1;
    }
    const QList<quint16> ports = alike.ports + restarting.ports + silent.ports;
    const auto simOf = [&](int device) -> SimProcess & {
        return device == RestartingDevice ? restarting : device == SilentDevice ? silent : alike;
    };

    const QString kvp = dir.filePath(QStringLiteral("Soak.kvp"));
    const QString cpf = dir.filePath(QStringLiteral("Soak.cpf"));
    const QString cpz = dir.filePath(QStringLiteral("Soak.cpz"));
    UArchive packer;
    const auto connection = [&ports](int d) {
        return QStringLiteral("<Property name=\"ipAddress\" value=\"127.0.0.1\" />\n"
                              "<Property name=\"serialPortNumber\" value=\"%1\" />\n")
            .arg(ports.at(d - 1));
    };
    if (!bench::writeText(kvp, bench::design(Devices, BlocksPerDevice, connection), true)
        || !bench::writeText(cpf, panelFile(), false) || !packer.addFile(cpf)
        || !packer.addFile(kvp) || !packer.write(cpz)) {
        QTextStream(stderr) << "cannot write the soak archive\n";
        return 1;
    }

    bench::Scene scene;
    MModel &model = *scene.model;
    if (!model.openFile(cpz) || !model.currentPanel()) {
        QTextStream(stderr) << "cannot open the soak archive\n";
        return 1;
    }

    QList<Point> points;
    for (CControl *control : model.currentPanel()->children()) {
        static const QRegularExpression block(QStringLiteral("^Gain (\\d+)\\.(\\d+)$"));
        const QRegularExpressionMatch m = control->node() ? block.match(control->node()->label()) : QRegularExpressionMatch();
        if (m.hasMatch() && control->transform())
            points.append({m.captured(1).toInt() - 1, m.captured(2).toInt(), control});
    }
    QList<HChassis *> chassis(Devices, nullptr);
    QList<HNode *> nodes;
    model.hardwareRoot()->collectByCategory(QStringLiteral("Chassis"), nodes);
    for (HNode *node : std::as_const(nodes)) {
        auto *device = qobject_cast<HChassis *>(node);
        const int index = device ? device->nodeID() - 1 : -1;
        if (index >= 0 && index < Devices)
            chassis[index] = device;
    }
    if (points.size() != Devices * BlocksPerDevice || chassis.contains(nullptr)) {
        QTextStream(stderr) << "the panel binds " << points.size() << " controls, not "
                            << Devices * BlocksPerDevice << "\n";
        return 1;
    }
    out << "soak: " << seconds << " s, " << Devices << " devices, " << points.size() << " controls shown\n";
    out.flush();

    model.setOnline(true);
    model.rebuildInterfaces();
    model.startStateRequests();
    const auto client = [&](int device) { return qobject_cast<ITcpClient *>(chassis.at(device)->interface()); };

    // Connection events of every device.
    QList<qint64> lostAt(Devices, 0), connectedAt(Devices, 0);
    QList<qint64> closeReconnects, restartReconnects, silentReconnects, silentDetections;
    qint64 silentSince = 0, silentBackAt = 0;
    for (int d = 0; d < Devices; ++d) {
        QObject::connect(client(d), &IInterface::interfaceStateChanged, &app, [&, d](bool connected) {
            const qint64 now = nowMs();
            if (!connected) {
                if (connectedAt[d] >= lostAt[d]) {
                    lostAt[d] = now;
                    if (d == SilentDevice && silentSince > 0 && silentBackAt == 0)
                        silentDetections << now - silentSince;
                }
                return;
            }
            if (connectedAt[d] >= lostAt[d])
                return;
            connectedAt[d] = now;
            if (lostAt[d] == 0)
                return;
            if (d == SilentDevice && silentBackAt > 0) {
                silentReconnects << now - silentBackAt;
                silentBackAt = 0;
                silentSince = 0;
            } else if (d == RestartingDevice) {
                // The device's own log tells when it listened again.
                QFile log(restartLog);
                qint64 back = 0;
                if (log.open(QIODevice::ReadOnly)) {
                    for (const QByteArray &line : log.readAll().split('\n')) {
                        if (!line.contains("listening again"))
                            continue;
                        const qint64 at = QDateTime::fromString(QString::fromUtf8(line.left(23)),
                                                                QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                                              .toMSecsSinceEpoch();
                        if (at >= lostAt[d])
                            back = at;
                    }
                }
                if (back > 0)
                    restartReconnects << now - back;
                else
                    closeReconnects << now - lostAt[d];
            } else if (d != SilentDevice || silentSince == 0) {
                closeReconnects << now - lostAt[d];
            }
        });
        connectedAt[d] = client(d)->isConnected() ? nowMs() : -1;
    }

    // The workload.
    QRandomGenerator random(20260601);
    std::map<int, Awaited> awaited;            // point index → value changed at the device
    std::map<int, QString> programSet;         // point index → the value the program set last
    int deviceChanges = 0, programChanges = 0, valuesLost = 0, stuckRecords = 0, refusedSends = 0;
    QList<qint64> showLatencies;
    QElapsedTimer clock;
    clock.start();
    const qint64 startedAt = nowMs();
    const double cpuStart = bench::cpuSeconds();
    QList<QPair<int, long>> memory;
    const QList<int> memoryAt = seconds >= 600 ? QList<int>{60, 300, 600}
                                               : QList<int>{seconds / 10, seconds / 2, seconds};
    bool running = true;

    QTimer change;
    change.setInterval(500);
    bool programTurn = true;
    QObject::connect(&change, &QTimer::timeout, &app, [&] {
        if (!running)
            return;
        const int device = int(random.bounded(Devices));
        const QString value = QString::number(-double(random.bounded(600)) / 10.0, 'f', 1);
        if (programTurn) {
            const int index = device * BlocksPerDevice + int(random.bounded(2));
            TTransform *transform = points.at(index).control->transform();
            transform->setValue(value.toFloat());
            if (chassis.at(device)->protocol()->sendValue(transform)) {
                programSet[index] = transform->valueText();
                ++programChanges;
            } else {
                ++refusedSends; // offline: the user sees the red lamp
            }
        } else {
            const int index = device * BlocksPerDevice + 2 + int(random.bounded(2));
            simOf(device).command(QStringLiteral("set %1 %2").arg(points.at(index).query(), value));
            awaited[index] = {value, nowMs()};
            ++deviceChanges;
        }
        programTurn = !programTurn;
    });

    QTimer watch;
    watch.setInterval(100);
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        const qint64 now = nowMs();
        for (auto it = awaited.begin(); it != awaited.end();) {
            const Point &point = points.at(it->first);
            if (point.control->transform()->replyText() == it->second.value) {
                showLatencies << now - it->second.since;
                it = awaited.erase(it);
                continue;
            }
            // A device that is silent, or not yet back from it, has yet to
            // recover.
            const bool recovering = point.device == SilentDevice && silentSince > 0;
            const bool connected = client(point.device)->isConnected() && !recovering;
            const qint64 from = std::max(it->second.since, connectedAt[point.device]);
            if (connected && now - from > ShowWithinMs) {
                ++valuesLost;
                out << "value lost: " << point.query() << " = " << it->second.value << " (shows "
                    << point.control->transform()->replyText() << "; set at " << it->second.since - startedAt
                    << " ms, device connected at " << connectedAt[point.device] - startedAt << " ms, now "
                    << now - startedAt << " ms)\n";
                it = awaited.erase(it);
                continue;
            }
            ++it;
        }
        for (int d = 0; d < Devices; ++d) {
            const ITcpClientThread *dispatcher = client(d)->dispatcher();
            if (dispatcher->awaitedMs() > 3 * qint64(dispatcher->currentTimeoutMs()))
                ++stuckRecords;
            const auto *protocol = qobject_cast<PKVDProtocol *>(chassis.at(d)->protocol());
            if (protocol && protocol->subscriptions().pendingLongerThan(3 * SMSubscriptionManager::PendingDeadlineMs))
                ++stuckRecords;
        }
        while (memory.size() < memoryAt.size() && clock.elapsed() >= memoryAt.at(memory.size()) * 1000LL)
            memory.append({memoryAt.at(memory.size()), bench::statusKiB("VmRSS")});
    });

    // The silent device: at a quarter and at two thirds of the run.
    for (const double share : {0.25, 0.65}) {
        QTimer::singleShot(int(seconds * 1000 * share), &app, [&] {
            silentSince = nowMs();
            silentBackAt = 0;
            silent.command(QStringLiteral("silent %1").arg(SilentSeconds));
            QTimer::singleShot(SilentSeconds * 1000, &app, [&] { silentBackAt = nowMs(); });
        });
    }

    change.start();
    watch.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = bench::cpuSeconds() - cpuStart;
    const qint64 wall = clock.elapsed();
    if (memory.size() < memoryAt.size())
        memory.append({memoryAt.last(), bench::statusKiB("VmRSS")});
    running = false;
    change.stop();

    // Let every device be connected and every set answered, then ask the
    // devices what they hold.
    QElapsedTimer settle;
    settle.start();
    const auto settled = [&] {
        for (int d = 0; d < Devices; ++d) {
            ITcpClient *c = client(d);
            if (!c->isConnected() || c->dispatcher()->state() != ITcpClientThread::Idle || c->queuedCount() > 0
                || c->carriedSetCount() > 0)
                return false;
        }
        return awaited.empty();
    };
    while (!settled() && settle.elapsed() < 15000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    watch.stop();
    int commandsLost = 0;
    for (const auto &[index, value] : programSet) {
        const Point &point = points.at(index);
        const QString atDevice = readAtDevice(ports.at(point.device), point.query());
        if (atDevice != value) {
            ++commandsLost;
            out << "command lost: " << point.query() << " set to " << value << ", the device holds " << atDevice << "\n";
        }
    }
    model.setOnline(false);
    alike.stop();
    restarting.stop();
    silent.stop();

    out << "changes: " << programChanges << " set by the program (" << refusedSends << " refused offline), "
        << deviceChanges << " at the devices\n";
    out << "values lost: " << valuesLost + int(awaited.size()) << "; shown after " << figures(showLatencies) << "\n";
    out << "commands lost: " << commandsLost << " of " << programSet.size() << " parameters set\n";
    out << "reconnect after a closed connection: " << figures(closeReconnects) << "\n";
    out << "reconnect after the restarting device is back: " << figures(restartReconnects) << "\n";
    out << "reconnect after the silent device is back: " << figures(silentReconnects) << "\n";
    out << "silent device shown as not connected after: " << figures(silentDetections) << "\n";
    out << "stuck records: " << stuckRecords << "\n";
    out << "resident memory:";
    for (const auto &[at, kib] : memory)
        out << " " << at << " s " << QString::number(kib / 1024.0, 'f', 1) << " MiB;";
    out << "\ncpu: " << QString::number(100.0 * cpu / (wall / 1000.0), 'f', 1) << " % of one core ("
        << QString::number(cpu, 'f', 1) << " s in " << wall / 1000 << " s)\n";
    return valuesLost + commandsLost + stuckRecords == 0 ? 0 : 2;
}
