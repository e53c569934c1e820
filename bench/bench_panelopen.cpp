// Opens a large control-panel archive (60 panels, 2,400 controls bound to 40
// devices) the way the program does, and times the open up to the first
// drawn panel, then page flips to panels never shown and to panels shown
// before. Prints the figures and the peak memory. Each panel holds value
// controls as a commissioning panel does: ten faders, ten mute buttons, ten
// drop lists and ten meters.

#include "BenchLargeArchive.h"
#include "BenchScene.h"
#include "CCanvas.h"
#include "CComposite.h"
#include "MModel.h"
#include "VQmlFrame.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QQuickItem>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

namespace {
using namespace bench;

long peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Runs work, then waits until the scene has drawn a frame.
qint64 timeToFrame(VQmlFrame &view, const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    bool drawn = false;
    auto c = QObject::connect(&view, &QQuickWindow::frameSwapped, [&] { drawn = true; });
    work();
    view.update();
    while (!drawn)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QObject::disconnect(c);
    return timer.elapsed();
}

qint64 median(QList<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    const QString cpz = writeLargeArchive(dir.path());
    if (cpz.isEmpty()) {
        QTextStream(stderr) << "cannot write the test archive\n";
        return 1;
    }
    QTextStream out(stdout);
    out << "archive: " << QFileInfo(cpz).size() / 1024 << " KiB, " << Panels << " panels, "
        << Panels * ControlsPerPanel << " controls, " << Devices << " devices\n";

    bench::Scene scene;
    MModel &model = *scene.model;
    scene.view.resize(scene.canvas.width(), scene.canvas.height());
    scene.view.show();
    timeToFrame(scene.view, [] {});
    const long before = peakKiB();

    const qint64 open = timeToFrame(scene.view, [&] { model.openFile(cpz); });
    int bound = 0;
    for (CControl *scene : model.document()->children())
        for (CControl *panel : qobject_cast<CComposite *>(scene)->children())
            for (CControl *control : qobject_cast<CComposite *>(panel)->children())
                bound += control->node() ? 1 : 0;
    out << "open -> first drawn panel: " << open << " ms (" << model.document()->childCount() << " scenes, "
        << bound << " controls bound to their nodes)\n";

    QList<qint64> fresh, revisit;
    for (int page = 1; page < 10; ++page)
        fresh << timeToFrame(scene.view, [&] { model.showPage(page); });
    for (int page = 0; page < 10; ++page)
        revisit << timeToFrame(scene.view, [&] { model.showPage(page); });
    out << "page flip to a panel never shown: median " << median(fresh) << " ms, max "
        << *std::max_element(fresh.begin(), fresh.end()) << " ms\n";
    out << "page flip to a panel shown before: median " << median(revisit) << " ms, max "
        << *std::max_element(revisit.begin(), revisit.end()) << " ms\n";
    out << "peak memory: " << peakKiB() / 1024 << " MiB (" << before / 1024 << " MiB before opening)\n";
    return 0;
}
