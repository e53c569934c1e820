// How long a fader move takes to reach the device: a fader in its QML file,
// bound to a gain block of a simulated device on loopback, moved the way QML
// moves it; the time runs from the move to the set command's bytes arriving
// at the device.
//
// 1. 200 single moves, each waited for: median and 99th percentile.
// 2. Drags of 200 moves 10 ms apart against a device that answers 100 ms
//    late, one that streams (sets unacknowledged) and one that does not (every
//    set waits for its ACK): how long after the last move its value arrives.

#include "CControl.h"
#include "HBlock.h"
#include "HChassis.h"
#include "IInterface.h"
#include "SimDevice.h"
#include "SimLog.h"
#include "VQmlFrame.h"
#include "WSlider.h"
#include "WWidgetFactory.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQuickItem>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {
constexpr int Moves = 200;
constexpr int DragStepMs = 10;

// A device, and a fader on one of its gain blocks.
struct Rig
{
    Rig(const SimFaults &faults, WWidgetFactory &factory)
    {
        log.setQuiet(true);
        SimDeviceInfo info;
        info.nodeId = 1;
        info.port = 0;
        sim = std::make_unique<SimDevice>(info, faults, &log);
        QString error;
        listening = sim->listen(QHostAddress::LocalHost, &error);
        QObject::connect(sim.get(), &SimDevice::commandReceived, sim.get(), [this](int, const QByteArray &bytes) {
            if (bytes.startsWith("SA "))
                arrivals.append({clock.nsecsElapsed(), bytes});
        });
        device.setTitle("ZMP-50");
        device.setAttribute("ipaddress", "127.0.0.1");
        device.setAttribute("serialport", QString::number(sim->port()));
        auto *gain = new HBlock;
        gain->setTitle("Gain");
        gain->setLabel("Bench Gain");
        device.addNode(gain);
        control = std::make_unique<CControl>("Level", "Slider");
        control->setNode(gain);
        control->beginWidgetRecord("slider");
        for (const auto &setting : {std::pair{"id", "1"}, {"x", "0"}, {"y", "0"}, {"width", "40"}, {"height", "240"}})
            control->addWidgetSetting(setting.first, setting.second);
        control->beginAttributeRecord("range");
        const char *attributes[][2] = {{"index1", "1"},  {"struct", "0"},       {"minimum", "-60"},
                                       {"maximum", "12"}, {"step", "0.5"},       {"units", "dB"},
                                       {"format", "nn.n"}, {"transform", "strV"}};
        for (const auto &a : attributes)
            control->addAttributeSetting(a[0], a[1]);
        control->activate(control.get());
        control->createWidgets(&factory);
        fader = qobject_cast<WSlider *>(control->firstWidget());
        clock.start();
    }
    ~Rig()
    {
        control.reset();
        device.setOnline(false);
    }

    bool goOnline()
    {
        device.setOnline(true);
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 5000
               && !(device.interface() && device.interface()->isConnected() && device.interface()->isStreamingSet()))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return device.interface() && device.interface()->isStreamingSet();
    }
    void move(int position) { QMetaObject::invokeMethod(fader->item(), "userMoves", Q_ARG(QVariant, position)); }
    static QByteArray command(int position)
    {
        return "SA \"Bench Gain\">1=" + QByteArray::number(position * 0.5, 'f', 1) + "\r";
    }
    // Waits until the set of position arrives; its arrival time, -1 on time-out.
    qint64 arrivalOf(int position, int timeoutMs)
    {
        const QByteArray expected = command(position);
        const auto arrived = [&]() -> qint64 {
            for (const auto &a : std::as_const(arrivals))
                if (a.second == expected)
                    return a.first;
            return -1;
        };
        if (arrived() >= 0)
            return arrived();
        // The loop idles until a command comes in or the time is up.
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        const auto c = QObject::connect(sim.get(), &SimDevice::commandReceived, &loop, [&] {
            if (arrived() >= 0)
                loop.quit();
        }, Qt::QueuedConnection);
        loop.exec();
        QObject::disconnect(c);
        return arrived();
    }

    SimLog log;
    std::unique_ptr<SimDevice> sim;
    bool listening = false;
    HChassis device;
    std::unique_ptr<CControl> control;
    WSlider *fader = nullptr;
    QElapsedTimer clock;
    QList<std::pair<qint64, QByteArray>> arrivals;
};

double ms(qint64 ns)
{
    return ns / 1.0e6;
}

void singleMoves(WWidgetFactory &factory, QTextStream &out)
{
    Rig rig(SimFaults(), factory);
    if (!rig.listening || !rig.fader || !rig.goOnline()) {
        out << "single moves: the rig did not come up\n";
        return;
    }
    QList<double> latencies;
    for (int i = 0; i < Moves; ++i) {
        const int position = -100 + (i % 60) * 2 + (i / 60) % 2;
        // Let the previous send's hold-off run out of the way of nothing:
        // the moves are the user's, one after the other.
        const qint64 start = rig.clock.nsecsElapsed();
        rig.move(position);
        const qint64 arrival = rig.arrivalOf(position, 2000);
        if (arrival < 0) {
            out << "single moves: move " << i << " never arrived\n";
            return;
        }
        latencies << ms(arrival - start);
        rig.arrivals.clear();
    }
    std::sort(latencies.begin(), latencies.end());
    const auto at = [&](double q) { return latencies.at(std::min<int>(latencies.size() - 1, int(q * latencies.size()))); };
    out << QStringLiteral("single moves (%1): median %2 ms, p99 %3 ms, min %4 ms, max %5 ms\n")
               .arg(Moves)
               .arg(at(0.5), 0, 'f', 1)
               .arg(at(0.99), 0, 'f', 1)
               .arg(latencies.first(), 0, 'f', 1)
               .arg(latencies.last(), 0, 'f', 1);
}

void drag(WWidgetFactory &factory, QTextStream &out, bool streaming)
{
    SimFaults faults;
    faults.delayMs = 100;
    faults.noSubscribe = !streaming;
    Rig rig(faults, factory);
    if (!rig.listening || !rig.fader || !rig.goOnline()) {
        out << "drag: the rig did not come up\n";
        return;
    }
    int step = 0;
    int position = -100;
    qint64 lastMove = 0;
    QTimer mover;
    mover.setTimerType(Qt::PreciseTimer);
    mover.setInterval(DragStepMs);
    QObject::connect(&mover, &QTimer::timeout, [&] {
        position = -100 + step % 100;
        lastMove = rig.clock.nsecsElapsed();
        rig.move(position);
        if (++step == Moves)
            mover.stop();
    });
    QEventLoop dragging;
    QObject::connect(&mover, &QTimer::timeout, &dragging, [&] {
        if (!mover.isActive())
            dragging.quit();
    }, Qt::QueuedConnection);
    mover.start();
    dragging.exec();
    const qint64 arrival = rig.arrivalOf(position, 60000);
    out << QStringLiteral("drag of %1 moves %2 ms apart, device answering 100 ms late, %3: ")
               .arg(Moves)
               .arg(DragStepMs)
               .arg(streaming ? QStringLiteral("streaming (sets not acknowledged)")
                              : QStringLiteral("not streaming (each set waits for its ACK)"));
    if (arrival < 0)
        out << "the last value did not arrive within 60 s\n";
    else
        out << QStringLiteral("last value arrives %1 ms after the last move; %2 set commands reached the device\n")
                   .arg(ms(arrival - lastMove), 0, 'f', 1)
                   .arg(rig.arrivals.size());
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    VQmlFrame view;
    view.registerTypesAndSetup();
    QQuickItem canvas;
    WWidgetFactory factory;
    factory.setParent(&canvas);
    factory.setContext(view.rootContext());

    singleMoves(factory, out);
    out.flush();
    drag(factory, out, true);
    out.flush();
    drag(factory, out, false);
    return 0;
}
