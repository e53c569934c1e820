#pragma once

// The built-in demonstration archive repacked so that its two devices listen
// where a test's simulated devices do, never on the demo's own ports (a
// demonstration may be running beside the tests).

#include "ModelScene.h"
#include "UArchiveHeaderRecord.h"

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
    QStringList files;
    for (const UArchiveHeaderRecord *record : source.header().records())
        files << record->filePath();
    Replacements replacements = {{QByteArray::number(DspPort), QByteArray::number(dspPort)},
                                 {QByteArray::number(EndpointPort), QByteArray::number(endpointPort)}};
    if (!keepConnections) {
        QFile panel(source.memberPath(QStringLiteral(".cpf")));
        const QByteArray text = panel.open(QIODevice::ReadOnly) ? panel.readAll() : QByteArray();
        const QByteArray close("</Connections>");
        const qsizetype begin = text.indexOf("<Connections>");
        const qsizetype end = text.indexOf(close);
        if (begin < 0 || end < begin)
            return QString();
        replacements.prepend({text.mid(begin, end + close.size() - begin), QByteArray()});
    }
    return packed(folder, files, replacements);
}

} // namespace demotest
