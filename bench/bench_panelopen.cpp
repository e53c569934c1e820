// Opens a large control-panel archive (60 panels, 2,400 controls bound to 40
// devices) the way the program does, and times the open up to the first
// drawn panel, then page flips to panels never shown and to panels shown
// before. Prints the figures and the peak memory.

#include "BenchFiles.h"
#include "CCanvas.h"
#include "CComposite.h"
#include "MModel.h"
#include "UArchive.h"
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
constexpr int Devices = 40;
constexpr int Panels = 60;
constexpr int ControlsPerPanel = 40;
constexpr int BlocksPerDevice = 60;

QString panelFile()
{
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<KVD>\n<Canvas><Property name=\"attributes\">"
         "<skin>Light</skin><accent>Blue</accent><size>6</size><aspect>1.77778</aspect>"
         "<orientation>1</orientation><horizcenter>1</horizcenter></Property></Canvas>\n<Scenes>\n";
    int id = 1;
    for (int p = 0; p < Panels; ++p) {
        if (p % 10 == 0)
            s << "<Scene name=\"Scene " << p / 10 + 1 << "\"><Panels>\n";
        s << "<Panel name=\"Panel " << p + 1 << "\" type=\"complete\"><Controls>\n";
        for (int c = 0; c < ControlsPerPanel; ++c) {
            const int device = (p * ControlsPerPanel + c) % Devices + 1;
            const int block = (p * ControlsPerPanel + c) / Devices % BlocksPerDevice + 1;
            const int x = 6 + (c % 4) * 68, y = 6 + (c / 4) * 40;
            s << "<Control name=\"Level\" type=\"Label\"><block>Gain " << device << "." << block
              << "</block><nodeID>" << 1000 + block << "</nodeID><nodeCategory>Blocks</nodeCategory>"
              << "<connection>Chassis|||" << device << "</connection><id>" << id++ << "</id>"
              << "<Property name=\"widget\"><frame><x>" << x << "</x><y>" << y
              << "</y><width>64</width><height>36</height><fieldcolor>#14231F20</fieldcolor>"
              << "<bordercolor>#FFA8AAAD</bordercolor><hasBorder>1</hasBorder></frame>"
              << "<label><x>" << x + 4 << "</x><y>" << y + 2 << "</y><width>56</width><height>16</height>"
              << "<text>*LABEL*</text><face>bold</face></label>"
              << "<label><x>" << x + 4 << "</x><y>" << y + 18 << "</y><width>56</width><height>14</height>"
              << "<text>Level</text></label></Property>"
              << "<Property name=\"attributes\"><range><index1>1</index1><units>dB</units>"
              << "<format>nn.n</format><transform>strV</transform></range></Property></Control>\n";
        }
        s << "</Controls></Panel>\n";
        if (p % 10 == 9)
            s << "</Panels></Scene>\n";
    }
    s << "</Scenes>\n</KVD>\n";
    return out;
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
    const QString kvp = dir.path() + "/Large.kvp";
    const QString cpf = dir.path() + "/Large.cpf";
    const QString cpz = dir.path() + "/Large.cpz";
    UArchive packer;
    const auto connection = [](int d) {
        return QStringLiteral("<Property name=\"ipAddress\" value=\"10.0.0.%1\" />\n").arg(d);
    };
    if (!bench::writeText(kvp, bench::design(Devices, BlocksPerDevice, connection), true)
        || !bench::writeText(cpf, panelFile(), false) || !packer.addFile(cpf)
        || !packer.addFile(kvp) || !packer.write(cpz)) {
        QTextStream(stderr) << "cannot write the test archive\n";
        return 1;
    }
    QTextStream out(stdout);
    out << "archive: " << QFileInfo(cpz).size() / 1024 << " KiB, " << Panels << " panels, "
        << Panels * ControlsPerPanel << " controls, " << Devices << " devices\n";

    VQmlFrame view;
    CCanvas canvas;
    view.registerTypesAndSetup();
    canvas.loadDesktop(&view);
    MModel model;
    model.setCanvas(&canvas);
    model.setQmlView(&view);
    model.initialize();
    view.resize(canvas.width(), canvas.height());
    view.show();
    timeToFrame(view, [] {});
    const long before = bench::statusKiB("VmHWM");

    const qint64 open = timeToFrame(view, [&] { model.openFile(cpz); });
    int bound = 0;
    for (CControl *scene : model.document()->children())
        for (CControl *panel : qobject_cast<CComposite *>(scene)->children())
            for (CControl *control : qobject_cast<CComposite *>(panel)->children())
                bound += control->node() ? 1 : 0;
    out << "open -> first drawn panel: " << open << " ms (" << model.document()->childCount() << " scenes, "
        << bound << " controls bound to their nodes)\n";

    QList<qint64> fresh, revisit;
    for (int page = 1; page < 10; ++page)
        fresh << timeToFrame(view, [&] { model.showPage(page); });
    for (int page = 0; page < 10; ++page)
        revisit << timeToFrame(view, [&] { model.showPage(page); });
    out << "page flip to a panel never shown: median " << median(fresh) << " ms, max "
        << *std::max_element(fresh.begin(), fresh.end()) << " ms\n";
    out << "page flip to a panel shown before: median " << median(revisit) << " ms, max "
        << *std::max_element(revisit.begin(), revisit.end()) << " ms\n";
    out << "peak memory: " << bench::statusKiB("VmHWM") / 1024 << " MiB (" << before / 1024 << " MiB before opening)\n";
    return 0;
}
