// Seeds: tests/data/panels/*.cpf tests/data/archive/*.cpf tools/demo/*.cpf
//
// A control-panel file read the way opening one reads it: into the document,
// the canvas and the project record, each control bound to its node of a
// small design and given its transform; then written back and read again.
// What the writer makes of a file that was read must be readable.

#include "CCanvas.h"
#include "CComposite.h"
#include "CPanelFile.h"
#include "FuzzSupport.h"
#include "HRoot.h"
#include "MProject.h"
#include "XmlWriter.h"

#include <QBuffer>

namespace {

QByteArray written(const CPanelFile &file)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    XmlWriter writer;
    writer.setDevice(&buffer);
    writer.setEncoding(XmlWriter::Utf8);
    writer.writeHeader();
    file.writeXml(writer);
    writer.flush();
    return buffer.data();
}

bool readInto(CPanelFile &file, const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return file.read(&buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The design every input binds against, read afresh so that no input
    // sees what an earlier one bound or connected.
    HRoot hardware;
    MProject project;
    hardware.loadDesign(fuzz::sourcePath(QStringLiteral("tests/data/panels/Conference.kvp")), &project);

    CComposite document(QString(), QStringLiteral("Scenes"));
    CCanvas canvas;
    CPanelFile file(&document, &canvas, &project, &hardware);
    if (readInto(file, fuzz::bytes(data, size))) {
        document.recordBounds();
        document.activate(&document);
        const QByteArray once = written(file);
        document.deactivate();

        CComposite again(QString(), QStringLiteral("Scenes"));
        CCanvas againCanvas;
        MProject againProject;
        CPanelFile reread(&again, &againCanvas, &againProject, &hardware);
        if (!readInto(reread, once))
            fuzz::violated("a panel file that was read cannot be read back", reread.errorString());
    }
    fuzz::settle();
    return 0;
}
