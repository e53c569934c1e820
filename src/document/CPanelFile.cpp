#include "CPanelFile.h"

#include "CCanvas.h"
#include "CComposite.h"
#include "CNodeLocator.h"
#include "KvrLogging.h"
#include "MProject.h"
#include "XControlHandler.h"
#include "XmlPanelTags.h"
#include "XmlWriter.h"

#include <QFile>
#include <QSaveFile>

const char *const CPanelFile::RootElement = "KVD";
const char *const CPanelFile::DefaultVersion = "3.0";

CPanelFile::CPanelFile(CComposite *document, CCanvas *canvas, MProject *project, HNode *hardware)
    : m_document(document)
    , m_canvas(canvas)
    , m_project(project)
    , m_hardware(hardware)
{
}

bool CPanelFile::fail(const QString &message)
{
    m_error = message;
    qCWarning(lcDocument).noquote() << message;
    return false;
}

bool CPanelFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(tr("Cannot open the control panel file %1: %2").arg(path, file.errorString()));
    if (!read(&file))
        return fail(tr("Cannot read the control panel file %1: %2").arg(path, m_error));
    return true;
}

bool CPanelFile::read(QIODevice *device)
{
    // Read into objects of our own first, so that a bad file leaves the
    // open document as it was.
    CComposite scenes;
    CCanvas canvas = m_canvas ? *m_canvas : CCanvas();
    canvas.reset();
    MProject project;
    const QString exitPin = MProject::exitPin();

    XControlHandler handler;
    handler.setDocument(&scenes);
    handler.setCanvas(&canvas);
    handler.setProject(&project);
    if (!XmlHandler::parseDevice(device, &handler)) {
        MProject::setExitPin(exitPin);
        m_error = tr("the file is not well-formed XML (%1).").arg(handler.lastError());
        return false;
    }
    if (!handler.hasPanelSections()) {
        MProject::setExitPin(exitPin);
        m_error = tr("the file holds neither scenes nor a canvas.");
        return false;
    }

    if (m_document) {
        m_document->clear();
        while (scenes.childCount() > 0)
            m_document->addChild(scenes.childAt(0));
    }
    if (m_canvas)
        *m_canvas = canvas;
    if (m_project)
        *m_project = project;
    m_fileVersion = handler.fileVersion();
    m_connections = handler.connections();
    m_repeatedIds.clear();
    for (const auto &repeated : handler.repeatedIds())
        m_repeatedIds.append({repeated.first, repeated.second});
    m_error.clear();
    bind();
    return true;
}

void CPanelFile::bind()
{
    const CNodeLocator locator(m_hardware);
    if (m_document && m_hardware)
        m_document->bindNodes(locator);
    for (const CConnection &connection : std::as_const(m_connections))
        connection.applyTo(locator.device(connection.name()));
}

bool CPanelFile::write(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(tr("Cannot write the control panel file %1: %2").arg(path, file.errorString()));
    XmlWriter writer;
    writer.setDevice(&file);
    writer.setEncoding(XmlWriter::Utf8);
    writer.writeHeader();
    writeXml(writer);
    writer.flush();
    if (!file.commit())
        return fail(tr("Cannot write the control panel file %1: %2").arg(path, file.errorString()));
    m_error.clear();
    return true;
}

bool CPanelFile::writeXml(XmlWriter &writer) const
{
    const QString root = QLatin1String(RootElement);
    if (!writer.openElement(root))
        return false;
    (m_project ? *m_project : MProject()).writeXml(writer);

    const QString version = QLatin1String(XmlPanelTags::Version);
    const QString property = QLatin1String(XmlPanelTags::Property);
    writer.openElement(version);
    writer.openElement(property, QLatin1String(XmlPanelTags::Attributes));
    writer.writeElement(QLatin1String(XmlPanelTags::FileVersion), m_fileVersion);
    writer.closeElement(property);
    writer.closeElement(version);

    (m_canvas ? *m_canvas : CCanvas()).writeXml(writer);

    // The root's own type does not matter: its children are the scenes.
    const QString scenes = QLatin1String(XmlPanelTags::Scenes);
    writer.openElement(scenes);
    if (m_document) {
        for (const CControl *scene : m_document->children())
            scene->writeXml(writer);
    }
    writer.closeElement(scenes);

    const QString connections = QLatin1String(XmlPanelTags::Connections);
    writer.openElement(connections);
    for (const CConnection &connection : m_connections)
        connection.writeXml(writer);
    writer.closeElement(connections);
    return writer.closeElement(root);
}
