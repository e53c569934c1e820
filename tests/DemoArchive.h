#pragma once

// The built-in demonstration archive repacked so that its two devices listen where a test's simulated devices
// do, never on the demo's own ports (a demonstration may be running beside the tests).

#include "ModelScene.h"
#include "UArchiveHeaderRecord.h"

namespace demotest {

// folder/Demo.cpz, or an empty text when it cannot be written. Without its connections record the devices'
// addresses come from the design alone.
inline QString demoOnPorts(const QString &folder, quint16 dspPort, quint16 endpointPort, bool keepConnections = true)
{
    UArchive source;
    source.setArchiveRoot(folder + QStringLiteral("/extract"));
    if (!source.open(QStringLiteral(":/data/Korvel/Demo.cpz")))
        return QString();
    QStringList files;
    for (const UArchiveHeaderRecord *record : source.header().records())
        files << record->filePath();
    // The demo's own ports: the hall's processor's and the conferencing endpoint's.
    Replacements replacements = {{"10155", QByteArray::number(dspPort)}, {"10156", QByteArray::number(endpointPort)}};
    if (!keepConnections) {
        const QByteArray text = transfertest::readFile(source.memberPath(QStringLiteral(".cpf")));
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
