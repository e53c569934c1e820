// Checks the large control-panel archive of bench_panelopen (60 panels,
// 2,400 controls bound to 40 devices) the way kvrcheck does, and times the
// whole check (extracting, reading the design and the panel file, every
// finding) over several runs.

#include "CheckDocument.h"
#include "CheckPanels.h"
#include "UArchive.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

namespace {
constexpr int Devices = 40;
constexpr int Panels = 60;
constexpr int ControlsPerPanel = 40;
constexpr int BlocksPerDevice = 60;
constexpr int Runs = 7;

QString design()
{
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\n<Project version=\"4.6\">\n<Nodes>\n";
    for (int d = 1; d <= Devices; ++d) {
        s << "<Node className=\"Halvern.Loom.Nodes.Devices.ZMP\" cardType=\"\" typeNumber=\"0\" portIndex=\"0\">\n"
          << "<Property name=\"title\" value=\"ZMP-50" << (d == 1 ? " (Main)" : "") << "\" />\n"
          << "<Property name=\"label\" value=\"DSP " << d << "\" />\n"
          << "<Property name=\"nodeID\" value=\"" << d << "\" />\n"
          << "<Property name=\"deviceType\" value=\"ZMP-50\" />\n"
          << "<Property name=\"ipAddress\" value=\"10.0.0." << d << "\" />\n</Node>\n";
        for (int b = 1; b <= BlocksPerDevice; ++b) {
            s << "<Node className=\"Halvern.Loom.Nodes.Gain\" typeNumber=\"0\" portIndex=\"0\">\n"
              << "<Property name=\"title\" value=\"Gain\" />\n"
              << "<Property name=\"label\" value=\"Gain " << d << "." << b << "\" />\n"
              << "<Property name=\"nodeID\" value=\"" << (1000 + b) << "\" />\n</Node>\n";
        }
    }
    s << "</Nodes>\n</Project>\n";
    return out;
}

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

bool writeText(const QString &path, const QString &text, bool latin1)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(latin1 ? text.toLatin1() : text.toUtf8()) > 0;
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString kvp = dir.path() + "/Large.kvp";
    const QString cpf = dir.path() + "/Large.cpf";
    const QString cpz = dir.path() + "/Large.cpz";
    UArchive packer;
    if (!writeText(kvp, design(), true) || !writeText(cpf, panelFile(), false) || !packer.addFile(cpf)
        || !packer.addFile(kvp) || !packer.write(cpz)) {
        QTextStream(stderr) << "cannot write the test archive\n";
        return 1;
    }
    QTextStream out(stdout);
    QList<qint64> times;
    qsizetype findings = -1;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        {
            CheckDocument document;
            if (!document.open(cpz)) {
                QTextStream(stderr) << "cannot open the archive: " << document.error() << '\n';
                return 1;
            }
            findings = CheckPanels(&document).run().size();
        }
        times << timer.elapsed();
    }
    std::sort(times.begin(), times.end());
    out << "panel check of " << Panels << " panels, " << Panels * ControlsPerPanel << " controls, " << Devices
        << " devices: median " << times.at(times.size() / 2) << " ms, min " << times.first() << " ms, max "
        << times.last() << " ms over " << Runs << " runs (" << findings << " findings)\n";
    return 0;
}
