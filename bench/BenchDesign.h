#pragma once

// Pieces of the design projects and panel files that the benchmarks write.

#include <QString>
#include <QTextStream>

namespace bench {

// A ZMP-50 processor numbered d (the first is the main one) at address; a
// port of 0 leaves the device's own.
inline void writeDevice(QTextStream &s, int d, const QString &address, int port = 0)
{
    s << "<Node className=\"Halvern.Loom.Nodes.Devices.ZMP\" cardType=\"\" typeNumber=\"0\" portIndex=\"0\">\n"
      << "<Property name=\"title\" value=\"ZMP-50" << (d == 1 ? " (Main)" : "") << "\" />\n"
      << "<Property name=\"label\" value=\"DSP " << d << "\" />\n"
      << "<Property name=\"nodeID\" value=\"" << d << "\" />\n"
      << "<Property name=\"deviceType\" value=\"ZMP-50\" />\n"
      << "<Property name=\"ipAddress\" value=\"" << address << "\" />\n";
    if (port > 0)
        s << "<Property name=\"serialPortNumber\" value=\"" << port << "\" />\n";
    s << "</Node>\n";
}

// One I/O channel of a four-channel card: Input or Output n of its device.
inline void writeChannel(QTextStream &s, bool input, int n, const QString &label, int nodeId)
{
    s << "<Node className=\"Halvern.Loom.Nodes." << (input ? "Input" : "Output") << "\" cardType=\""
      << (input ? "4ch Mic/Line Input" : "4ch Line Output II") << "\" typeNumber=\"2\" portIndex=\"" << n - 1
      << "\">\n"
      << "<Property name=\"title\" value=\"" << (input ? "Input " : "Output ") << n << "\" />\n"
      << "<Property name=\"label\" value=\"" << label << "\" />\n"
      << "<Property name=\"nodeID\" value=\"" << nodeId << "\" />\n</Node>\n";
}

} // namespace bench
