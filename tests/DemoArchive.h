#pragma once

// The built-in demonstration archive repacked so that its two devices listen
// where a test's simulated devices do, never on the demo's own ports (a
// demonstration may be running beside the tests).

#include "UArchive.h"
#include "UArchiveHeaderRecord.h"

#include <QFile>
#include <QString>

namespace demotest {

// The demo's devices: the hall's processor and the conferencing endpoint.
constexpr quint16 DspPort = 10155;
constexpr quint16 EndpointPort = 10156;

// folder/Demo.cpz, or an empty text when it cannot be written. Without its
// connections record the devices' addresses come from the design alone.
inline QString demoOnPorts(const QString &folder, quint16 dspPort, quint16 endpointPort,
                           bool keepConnections = true)
{
    UArchive source;
    source.setArchiveRoot(folder + QStringLiteral("/extract"));
    if (!source.open(QStringLiteral(":/data/Korvel/Demo.cpz")))
        return QString();
    UArchive target;
    for (const UArchiveHeaderRecord *record : source.header().records()) {
        QFile in(record->filePath());
        if (!in.open(QIODevice::ReadOnly))
            return QString();
        QByteArray data = in.readAll();
        data.replace(QByteArray::number(DspPort), QByteArray::number(dspPort));
        data.replace(QByteArray::number(EndpointPort), QByteArray::number(endpointPort));
        if (!keepConnections && record->name().endsWith(QLatin1String(".cpf"))) {
            const QByteArray close("</Connections>");
            const qsizetype begin = data.indexOf("<Connections>");
            const qsizetype end = data.indexOf(close);
            if (begin < 0 || end < begin)
                return QString();
            data.remove(begin, end + close.size() - begin);
        }
        const QString copy = folder + record->name();
        QFile out(copy);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
            return QString();
        out.close();
        if (!target.addFile(copy))
            return QString();
    }
    const QString path = folder + QStringLiteral("/Demo.cpz");
    return target.write(path) ? path : QString();
}

} // namespace demotest
