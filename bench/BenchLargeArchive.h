#pragma once

// The large control-panel archive the benchmarks open and check: 60 panels
// of 40 controls each, every control bound to a gain block of one of 40
// processors (60 blocks each).

#include "UArchive.h"

#include <QFile>
#include <QString>
#include <QTextStream>

namespace bench {
constexpr int Devices = 40;
constexpr int Panels = 60;
constexpr int ControlsPerPanel = 40;
constexpr int BlocksPerDevice = 60;

inline QString largeDesign()
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

inline QString largePanelFile()
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

inline bool writeText(const QString &path, const QString &text, const char *encoding)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(QByteArray(encoding) == "latin1" ? text.toLatin1() : text.toUtf8());
    return true;
}

// Writes the design, the panel file and the archive of both into folder;
// the archive's path, or empty when a file cannot be written.
inline QString writeLargeArchive(const QString &folder)
{
    const QString kvp = folder + "/Large.kvp";
    const QString cpf = folder + "/Large.cpf";
    const QString cpz = folder + "/Large.cpz";
    UArchive packer;
    if (!writeText(kvp, largeDesign(), "latin1") || !writeText(cpf, largePanelFile(), "utf8")
        || !packer.addFile(cpf) || !packer.addFile(kvp) || !packer.write(cpz))
        return QString();
    return cpz;
}
} // namespace bench
