#pragma once

// The large control-panel archive the benchmarks open and check: 60 panels
// of 40 controls each (ten faders, ten mute buttons, ten drop lists and ten
// meters, as a commissioning panel holds them), bound to the gain blocks and
// inputs of 40 processors.

#include "BenchDesign.h"
#include "UArchive.h"

#include <QFile>
#include <QString>
#include <QTextStream>

namespace bench {
constexpr int Devices = 40;
constexpr int Panels = 60;
constexpr int ControlsPerPanel = 40;
constexpr int BlocksPerDevice = 60;
constexpr int InputsPerDevice = 4;

inline QString largeDesign()
{
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\n<Project version=\"4.6\">\n<Nodes>\n";
    for (int d = 1; d <= Devices; ++d) {
        writeDevice(s, d, QStringLiteral("10.0.0.%1").arg(d));
        for (int i = 1; i <= InputsPerDevice; ++i)
            writeChannel(s, true, i, QStringLiteral("Mic %1.%2").arg(d).arg(i), 100 + i);
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

inline QString rect(int x, int y, int w, int h)
{
    return QStringLiteral("<x>%1</x><y>%2</y><width>%3</width><height>%4</height>").arg(x).arg(y).arg(w).arg(h);
}

inline QString frame(int x, int y, int w, int h)
{
    return "<frame>" + rect(x, y, w, h)
           + "<fieldcolor>#14231F20</fieldcolor><bordercolor>#FFA8AAAD</bordercolor><hasBorder>1</hasBorder></frame>";
}

inline QString label(int x, int y, int w, int h, const QString &text)
{
    return "<label>" + rect(x, y, w, h) + "<z>2</z><text>" + text + "</text><align>center</align></label>";
}

// One value control of kind (0 fader, 1 mute button, 2 drop list, 3 meter)
// in cell (column, row) of its kind's band.
inline QString control(int kind, int device, int block, int cell, int id)
{
    const int column = cell % 10;
    QString widgets, attributes, name, type, bound;
    const QString gain = QStringLiteral("<block>Gain %1.%2</block><nodeID>%3</nodeID><nodeCategory>Blocks</nodeCategory>")
                             .arg(device)
                             .arg(block)
                             .arg(1000 + block);
    const QString level = "<range><index1>1</index1><struct>0</struct><minimum>-60</minimum><maximum>12</maximum>"
                          "<step>0.5</step><units>dB</units><format>nn.n</format><transform>strV</transform></range>";
    switch (kind) {
    case 0: {
        const int x = 6 + column * 66, y = 6;
        name = "Level", type = "Slider", bound = gain, attributes = level;
        widgets = frame(x, y, 62, 200) + "<slider><id>1</id><link>2</link>" + rect(x + 12, y + 22, 38, 170)
                  + "<z>1</z><orient>vertical</orient></slider>" + label(x, y + 2, 62, 18, "*LABEL*");
        break;
    }
    case 1: {
        const int x = 6 + column * 66, y = 212;
        name = "Mute", type = "Button", bound = gain;
        attributes = "<list><index1>2</index1><struct>0</struct><set>F,O,T</set><format>nn</format>"
                     "<transform>chrL</transform></list>";
        widgets = frame(x, y, 62, 62) + "<button>" + rect(x + 4, y + 16, 54, 42)
                  + "<onimage>mute_on</onimage><offimage>mute_off</offimage><imagesize>0.8</imagesize>"
                    "<action>alternating</action><buttonType>mute</buttonType><hasBorder>1</hasBorder></button>"
                  + label(x, y + 1, 62, 14, "Mute");
        break;
    }
    case 2: {
        const int x = 6 + (column % 5) * 132, y = 280 + (column / 5) * 46;
        name = "Source", type = "DropList", bound = gain;
        attributes = "<list><index1>3</index1><struct>0</struct><set>1,2,3,4</set><format>nn</format>"
                     "<transform>bin8</transform></list>";
        widgets = frame(x, y, 128, 42) + "<droplist>" + rect(x + 4, y + 4, 120, 34)
                  + "<z>1</z><title>*LABEL*</title><msg>Input 1,Input 2,Input 3,Input 4</msg></droplist>";
        break;
    }
    default: {
        const int x = 6 + column * 66, y = 374;
        const int input = block % InputsPerDevice + 1;
        name = "Meter 1", type = "Meter";
        bound = QStringLiteral("<block>Mic %1.%2</block><nodeID>%3</nodeID><nodeCategory>Analog I/O</nodeCategory>")
                    .arg(device)
                    .arg(input)
                    .arg(100 + input);
        attributes = "<range><index1>1</index1><struct>10</struct><minimum>-60</minimum><maximum>0</maximum>"
                     "<step>0.5</step><units>dB</units><format>nn.n</format><transform>strV</transform></range>";
        widgets = frame(x, y, 40, 200) + "<meter>" + rect(x + 4, y + 6, 32, 190)
                  + "<z>1</z><minimum>-60</minimum><maximum>0</maximum><colorBreakValue1>-20</colorBreakValue1>"
                    "<colorBreakValue2>-6</colorBreakValue2><text>*LABEL*</text><meterRate>4x/s</meterRate></meter>";
        break;
    }
    }
    return QStringLiteral("<Control name=\"%1\" type=\"%2\">").arg(name, type) + bound
           + QStringLiteral("<connection>Chassis|||%1</connection><id>%2</id>").arg(device).arg(id)
           + "<Property name=\"widget\">" + widgets + "</Property><Property name=\"attributes\">" + attributes
           + "</Property></Control>\n";
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
            s << control(c / 10, device, block, c % 10, id++);
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
