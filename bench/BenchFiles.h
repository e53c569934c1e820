#pragma once

// What the benchmarks that open a generated archive share: the design
// project they generate, writing a file, and the process's memory and
// processor-time figures.

#include <QFile>
#include <QString>
#include <QTextStream>

#include <functional>

#include <sys/resource.h>

namespace bench {

// A design project of ZMP-50 processors labelled "DSP 1", "DSP 2", ..., each
// with blocks "Gain d.1" ... "Gain d.b" (node ids 1001 ...); connection(d)
// gives the address and port properties of device d.
inline QString design(int devices, int blocksPerDevice, const std::function<QString(int)> &connection)
{
    QString text;
    QTextStream s(&text);
    s << "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\n<Project version=\"4.6\">\n<Nodes>\n";
    for (int d = 1; d <= devices; ++d) {
        s << "<Node className=\"Halvern.Loom.Nodes.Devices.ZMP\" cardType=\"\" typeNumber=\"0\" portIndex=\"0\">\n"
          << "<Property name=\"title\" value=\"ZMP-50" << (d == 1 ? " (Main)" : "") << "\" />\n"
          << "<Property name=\"label\" value=\"DSP " << d << "\" />\n"
          << "<Property name=\"nodeID\" value=\"" << d << "\" />\n"
          << "<Property name=\"deviceType\" value=\"ZMP-50\" />\n"
          << connection(d) << "</Node>\n";
        for (int b = 1; b <= blocksPerDevice; ++b) {
            s << "<Node className=\"Halvern.Loom.Nodes.Gain\" typeNumber=\"0\" portIndex=\"0\">\n"
              << "<Property name=\"title\" value=\"Gain\" />\n"
              << "<Property name=\"label\" value=\"Gain " << d << "." << b << "\" />\n"
              << "<Property name=\"nodeID\" value=\"" << (1000 + b) << "\" />\n</Node>\n";
        }
    }
    s << "</Nodes>\n</Project>\n";
    return text;
}

inline bool writeText(const QString &path, const QString &text, bool latin1)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(latin1 ? text.toLatin1() : text.toUtf8()) > 0;
}

// A figure of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 when unknown.
inline long statusKiB(const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// The process's user and system time so far, in seconds.
inline double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace bench
