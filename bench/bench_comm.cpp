// Throughput and latency of one TCP client with the device protocol against
// a simulated device running in the same process:
//   - commands per second and CPU time per command while polling (no
//     subscriptions: every query waits for its answer),
//   - commands per second and CPU time per command while streaming (the
//     device takes subscriptions: set commands go out without waiting),
//   - the time from sendValue to the command's arrival at the device, seen
//     by a second connection that subscribes to the parameter (the device
//     pushes the change the moment it executes the command).
// CPU time is the whole process: client, simulated device and this harness.

#include "BenchFiles.h"
#include "CAttributes.h"
#include "CControl.h"
#include "HNode.h"
#include "ITcpClient.h"
#include "PKVDProtocol.h"
#include "SimDevice.h"
#include "SimDeviceInfo.h"
#include "SimFaults.h"
#include "SimLog.h"
#include "TTransform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int Commands = 400;
constexpr int LatencySamples = 200;

// Runs the event loop until done() holds or timeoutMs passed. Whatever
// can make it hold calls poke(), so that waiting costs no CPU of its own.
std::function<bool()> g_done;
QEventLoop *g_loop = nullptr;

void poke()
{
    if (g_loop && g_done && g_done())
        g_loop->quit();
}

bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    g_done = done;
    g_loop = &loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    g_loop = nullptr;
    g_done = nullptr;
    return done();
}

class CountingTransform : public TTransform
{
public:
    void setValueText(const QString &text) override { m_value = text; }
    QString valueText() const override { return m_value; }
    void setReplyText(const QString &) override
    {
        ++replies;
        poke();
    }
    void receiveReply(const QString &text) override { setReplyText(text); }
    int replies = 0;

private:
    QString m_value;
};

struct Control
{
    explicit Control(HNode *node, int index1)
    {
        attributes.setStructure(0);
        attributes.setIndex1(index1);
        attributes.setOwner(&control);
        transform.setOwnerAttributes(&attributes);
        transform.setNode(node);
        transform.addUser();
    }
    CControl control;
    CAttributes attributes;
    CountingTransform transform;
};

void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Device
{
    explicit Device(bool subscriptions)
    {
        log.setQuiet(true);
        SimDeviceInfo info;
        info.nodeId = 1;
        info.port = 0;
        SimFaults faults;
        faults.noSubscribe = !subscriptions;
        device = std::make_unique<SimDevice>(info, faults, &log);
        QString error;
        if (!device->listen(QHostAddress::LocalHost, &error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
    }
    SimLog log;
    std::unique_ptr<SimDevice> device;
};

std::unique_ptr<ITcpClient> connectClient(PKVDProtocol &protocol, quint16 port)
{
    auto client = std::make_unique<ITcpClient>();
    client->setProtocol(&protocol);
    protocol.setInterface(client.get());
    client->setAddress(QStringLiteral("127.0.0.1"));
    client->setPort(port);
    client->open();
    QObject::connect(client.get(), &ITcpClient::connectionActive, [] { poke(); });
    runUntil([&] { return client->isConnected(); }, 5000);
    // The handshake answer comes next.
    runUntil([&] { return client->isStreamingSet(); }, 200);
    return client;
}

// A second station that subscribes to one parameter and counts the
// pushed values.
struct Observer
{
    Observer(quint16 port, const QByteArray &parameter) : query(parameter)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] {
            const QByteArray bytes = socket.readAll();
            pushes += int(bytes.count(query + "="));
            last = bytes;
            arrived.restart();
            poke();
        });
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(5000);
        socket.write("SUB \"" + query + "\"\r");
        runUntil([this] { return last.contains(",yes"); }, 5000);
        pushes = 0;
    }
    QByteArray query;
    QTcpSocket socket;
    QByteArray last;
    int pushes = 0;
    QElapsedTimer arrived;
};

void report(const char *what, int commands, qint64 wallNs, double cpu)
{
    const double seconds = double(wallNs) / 1e9;
    std::printf("%-34s %5d commands in %7.3f s: %7.1f commands/s, CPU %6.1f us/command (%4.1f%% of one core)\n",
                what, commands, seconds, commands / seconds, cpu * 1e6 / commands, 100.0 * cpu / seconds);
}

void benchPolling()
{
    Device sim(false);
    PKVDProtocol protocol;
    auto client = connectClient(protocol, sim.device->port());
    HNode block;
    block.setLabel(QStringLiteral("Gain 1"));
    std::vector<std::unique_ptr<Control>> controls;
    for (int i = 0; i < Commands; ++i)
        controls.push_back(std::make_unique<Control>(&block, i + 1));

    QElapsedTimer wall;
    const double cpu0 = bench::cpuSeconds();
    wall.start();
    for (auto &control : controls)
        protocol.poll(&control->transform);
    const bool done = runUntil(
        [&] {
            return std::all_of(controls.begin(), controls.end(),
                               [](const auto &c) { return c->transform.replies > 0; });
        },
        60000);
    const qint64 ns = wall.nsecsElapsed();
    report(done ? "polling (query, answer)" : "polling (INCOMPLETE)", Commands, ns, bench::cpuSeconds() - cpu0);
}

// A client that sets one parameter of a device taking subscriptions, and
// a second station that watches the parameter.
struct SetRig
{
    SetRig() : sim(true), observer(sim.device->port(), "GA\"Bench\">1")
    {
        client = connectClient(protocol, sim.device->port());
        block.setLabel(QStringLiteral("Bench"));
        control = std::make_unique<Control>(&block, 1);
    }
    void set(int value)
    {
        control->transform.setValueText(QString::number(value));
        protocol.sendValue(&control->transform);
    }

    Device sim;
    Observer observer;
    PKVDProtocol protocol;
    std::unique_ptr<ITcpClient> client;
    HNode block;
    std::unique_ptr<Control> control;
};

void benchStreaming()
{
    SetRig rig;
    QElapsedTimer wall;
    const double cpu0 = bench::cpuSeconds();
    wall.start();
    for (int i = 1; i <= Commands; ++i)
        rig.set(i);
    const bool done = runUntil([&] { return rig.observer.pushes >= Commands; }, 60000);
    const qint64 ns = wall.nsecsElapsed();
    report(done ? "streaming (set commands)" : "streaming (INCOMPLETE)", Commands, ns, bench::cpuSeconds() - cpu0);
}

void benchLatency(bool streaming)
{
    SetRig rig;
    if (!streaming)
        rig.client->setStreaming(0);
    std::vector<double> samples;
    for (int i = 1; i <= LatencySamples; ++i) {
        // A user's change after a pause, as from a fader.
        pause(20);
        const int before = rig.observer.pushes;
        QElapsedTimer sent;
        sent.start();
        rig.set(i);
        if (!runUntil([&] { return rig.observer.pushes > before; }, 5000))
            continue;
        samples.push_back(double(sent.nsecsElapsed() - rig.observer.arrived.nsecsElapsed()) / 1e6);
    }
    std::sort(samples.begin(), samples.end());
    if (samples.empty())
        return;
    const double median = samples[samples.size() / 2];
    const double p99 = samples[std::min(samples.size() - 1, size_t(double(samples.size()) * 0.99))];
    std::printf("sendValue -> device, %-13s %zu samples: median %6.2f ms, p99 %6.2f ms\n",
                streaming ? "streaming:" : "acknowledged:", samples.size(), median, p99);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("kvr.*=false"));
    benchPolling();
    benchStreaming();
    benchLatency(true);
    benchLatency(false);
    return 0;
}
