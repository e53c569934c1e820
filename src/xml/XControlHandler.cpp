#include "XControlHandler.h"

#include "CCanvas.h"
#include "CComposite.h"
#include "CControl.h"
#include "CControlIds.h"
#include "KvrLogging.h"
#include "MProject.h"
#include "XmlPanelTags.h"

#include <QSet>

namespace {
bool is(const QString &name, const char *tag)
{
    return name == QLatin1String(tag);
}
} // namespace

XControlHandler::XControlHandler() = default;

XControlHandler::~XControlHandler()
{
    qDeleteAll(m_controls);
}

QList<CControl *> XControlHandler::takeControls()
{
    QList<CControl *> controls;
    controls.swap(m_controls);
    return controls;
}

CControl *XControlHandler::readControl(const QString &templatePath, const QString &name)
{
    XControlHandler handler;
    handler.setFilter(name);
    XmlHandler::parseFile(templatePath, &handler);
    QList<CControl *> controls = handler.takeControls();
    CControl *control = controls.isEmpty() ? nullptr : controls.takeFirst();
    qDeleteAll(controls);
    return control;
}

bool XControlHandler::startDocument()
{
    m_active.reset();
    m_controlDepth = 0;
    m_propertyDepth = 0;
    m_blockDepth = 0;
    m_section = Section::None;
    m_block = Block::None;
    m_hasChild.clear();
    m_text.clear();
    m_scene = nullptr;
    m_panel = nullptr;
    m_sceneDepth = 0;
    m_panelDepth = 0;
    m_fileVersion.clear();
    m_chassisName.clear();
    m_panelSections = false;
    m_connections.clear();
    m_panelControls.clear();
    m_repeatedIds.clear();
    return XmlHandler::startDocument();
}

bool XControlHandler::endDocument()
{
    remapRepeatedIds();
    m_panelControls.clear();
    return XmlHandler::endDocument();
}

bool XControlHandler::startElement(const QString &namespaceURI, const QString &localName,
                                   const QString &qName, const QXmlAttributes &atts)
{
    XmlHandler::startElement(namespaceURI, localName, qName, atts);
    if (!m_hasChild.isEmpty())
        m_hasChild.last() = true;
    m_hasChild.append(false);
    m_text.clear();

    if (m_controlDepth > 0)
        startInControl(qName, atts);
    else if (m_block != Block::None) {
        // Files that keep a contact's fields as attributes of its section.
        if (m_block == Block::Project && m_project && atts.count() > 0
            && !is(qName, XmlPanelTags::Property))
            m_project->setFromAttributes(qName, atts);
    } else
        startStructure(qName, atts);
    return true;
}

bool XControlHandler::characters(const QString &ch)
{
    m_text += ch;
    return true;
}

bool XControlHandler::endElement(const QString &namespaceURI, const QString &localName,
                                 const QString &qName)
{
    const bool isLeaf = !m_hasChild.isEmpty() && !m_hasChild.takeLast();
    if (isLeaf)
        leaf(qName, simplifiedText(m_text));
    m_text.clear();
    endStructure();
    return XmlHandler::endElement(namespaceURI, localName, qName);
}

void XControlHandler::startStructure(const QString &qName, const QXmlAttributes &atts)
{
    const QString parent = parentElement();
    if (is(qName, XmlPanelTags::Control) && is(parent, XmlPanelTags::Controls))
        startControl(atts);
    else if (is(qName, XmlPanelTags::Scenes))
        m_panelSections = true;
    else if (is(qName, XmlPanelTags::Scene) && is(parent, XmlPanelTags::Scenes))
        startScene(atts);
    else if (is(qName, XmlPanelTags::Panel) && is(parent, XmlPanelTags::Panels))
        startPanel(atts);
    else if (qName == QLatin1String(MProject::ElementName))
        startBlock(Block::Project, atts);
    else if (is(qName, XmlPanelTags::Version))
        startBlock(Block::Version, atts);
    else if (qName == QLatin1String(CCanvas::ElementName)) {
        m_panelSections = true;
        startBlock(Block::Canvas, atts);
    }
    else if (is(qName, XmlPanelTags::ChassisPrefix) && is(parent, XmlPanelTags::Connections))
        m_chassisName = attributeValue(QLatin1String(XmlPanelTags::Name), atts);
    else if (is(qName, XmlPanelTags::Connection)
             && (is(parent, XmlPanelTags::Connections)
                 || (is(parent, XmlPanelTags::ChassisPrefix) && is(pathAt(depth - 3), XmlPanelTags::Connections))))
        startBlock(Block::Connection, atts);
    else if (is(qName, XmlPanelTags::Property))
        startProperty(atts);
    else if (m_propertyDepth > 0 && depth == m_propertyDepth + 1)
        startPropertyElement(qName);
}

void XControlHandler::startControl(const QXmlAttributes &atts)
{
    m_controlDepth = depth;
    m_activeHasStoredId = false;
    const QString name = attributeValue(QLatin1String(XmlPanelTags::Name), atts);
    if (m_filter.isEmpty() || m_filter == name)
        m_active = std::make_unique<CControl>(name, attributeValue(QLatin1String(XmlPanelTags::Type), atts));
}

void XControlHandler::startInControl(const QString &qName, const QXmlAttributes &atts)
{
    // A control inside a control is no definition of its own; its
    // elements are passed over.
    if (is(qName, XmlPanelTags::Property) && depth == m_controlDepth + 1)
        startProperty(atts);
    else if (m_propertyDepth > 0 && depth == m_propertyDepth + 1)
        startPropertyElement(qName);
}

void XControlHandler::startBlock(Block block, const QXmlAttributes &atts)
{
    m_block = block;
    m_blockDepth = depth;
    if (block == Block::Connection) {
        // A device may also write its connection inside an element named
        // by its key: <Chassis name="Chassis|||3"><Connection>.
        QString name = attributeValue(QLatin1String(XmlPanelTags::Name), atts);
        if (name.isEmpty() && is(parentElement(), XmlPanelTags::ChassisPrefix))
            name = m_chassisName;
        m_connection = CConnection(name);
    }
}

void XControlHandler::startProperty(const QXmlAttributes &atts)
{
    const QString name = attributeValue(QLatin1String(XmlPanelTags::Name), atts);
    if (is(name, XmlPanelTags::Widget))
        m_section = Section::Widget;
    else if (is(name, XmlPanelTags::Attributes))
        m_section = Section::Attributes;
    else
        m_section = Section::None;
    m_propertyDepth = m_section == Section::None ? 0 : depth;
}

void XControlHandler::startPropertyElement(const QString &element)
{
    if (m_section == Section::Widget) {
        if (m_active)
            m_active->beginWidgetRecord(element);
        else if (m_controlDepth == 0)
            qCDebug(lcXml).noquote()
                << "m_pActiveControl not defined while trying to processWidget( " + element + ")";
    } else if (m_section == Section::Attributes && m_active) {
        m_active->beginAttributeRecord(element);
    }
}

void XControlHandler::startScene(const QXmlAttributes &atts)
{
    if (!m_document)
        return;
    m_scene = CComposite::fromElement(QLatin1String(XmlPanelTags::Scene),
                                      attributeValue(QLatin1String(XmlPanelTags::Name), atts));
    m_sceneDepth = depth;
    m_document->addChild(m_scene);
}

void XControlHandler::startPanel(const QXmlAttributes &atts)
{
    const QString name = attributeValue(QLatin1String(XmlPanelTags::Name), atts);
    if (!m_scene) {
        if (m_document)
            qCDebug(lcXml).noquote() << "XControlHandler - panel" << name
                                     << "stands outside a scene; its controls are not read.";
        return;
    }
    m_panel = CComposite::fromElement(QLatin1String(XmlPanelTags::Panel), name);
    m_panelDepth = depth;
    m_panelKind = attributeValue(QLatin1String(XmlPanelTags::Type), atts);
    m_scene->addChild(m_panel);
}

void XControlHandler::leaf(const QString &key, const QString &value)
{
    if (m_controlDepth > 0)
        controlLeaf(key, value);
    else if (m_block != Block::None && depth > m_blockDepth && !is(key, XmlPanelTags::Property))
        blockLeaf(key, value);
}

void XControlHandler::controlLeaf(const QString &key, const QString &value)
{
    if (!m_active)
        return;
    if (depth == m_controlDepth + 1) {
        // An id that does not read as one leaves the control with a new id.
        if (m_active->setValue(key, value) && key == QLatin1String("id"))
            m_activeHasStoredId = true;
    } else if (m_propertyDepth > 0 && depth == m_propertyDepth + 2) {
        if (m_section == Section::Widget)
            m_active->addWidgetSetting(key, value);
        else if (m_section == Section::Attributes)
            m_active->addAttributeSetting(key, value);
    }
}

void XControlHandler::blockLeaf(const QString &key, const QString &value)
{
    switch (m_block) {
    case Block::Project:
        if (m_project)
            m_project->setField(parentElement(), key, value);
        break;
    case Block::Version:
        if (is(key, XmlPanelTags::FileVersion))
            m_fileVersion = value;
        break;
    case Block::Canvas:
        if (m_canvas)
            m_canvas->setProperty(key, value);
        break;
    case Block::Connection:
        m_connection.setValue(key, value);
        break;
    case Block::None:
        break;
    }
}

void XControlHandler::endStructure()
{
    if (m_propertyDepth > 0 && depth == m_propertyDepth) {
        m_propertyDepth = 0;
        m_section = Section::None;
    } else if (m_controlDepth > 0 && depth == m_controlDepth) {
        endControl();
    } else if (m_block != Block::None && depth == m_blockDepth) {
        if (m_block == Block::Connection)
            m_connections.append(m_connection);
        m_block = Block::None;
        m_blockDepth = 0;
    } else if (m_panel && depth == m_panelDepth) {
        // A panel without a kind, or with one the program does not know,
        // takes the kind its children give it, so that it is written back
        // with a kind that reads the same.
        m_panel->setPanelKind(m_panelKind);
        if (m_panel->panelKind() == CComposite::NoKind)
            m_panel->setPanelKind(QString());
        m_panel = nullptr;
        m_panelDepth = 0;
    } else if (m_scene && depth == m_sceneDepth) {
        m_scene = nullptr;
        m_sceneDepth = 0;
    }
}

void XControlHandler::endControl()
{
    if (m_active) {
        CControl *control = m_active.release();
        if (m_panel) {
            m_panel->addChild(control);
            m_panelControls.append(qMakePair(control, m_activeHasStoredId));
        } else {
            m_controls.append(control);
        }
    }
    m_controlDepth = 0;
}

void XControlHandler::remapRepeatedIds()
{
    // Links and drop sites refer to stored ids, so the first control with an
    // id keeps it, and a new id is none that the file stores.
    QSet<quint32> taken;
    for (const auto &entry : std::as_const(m_panelControls)) {
        if (entry.second)
            taken.insert(entry.first->id());
    }
    QSet<quint32> claimed;
    for (const auto &entry : std::as_const(m_panelControls)) {
        CControl *control = entry.first;
        const quint32 id = control->id();
        const bool repeated = entry.second ? claimed.contains(id) : taken.contains(id);
        if (!repeated) {
            claimed.insert(id);
            taken.insert(id);
            continue;
        }
        quint32 fresh = CControlIds::next();
        while (taken.contains(fresh))
            fresh = CControlIds::next();
        taken.insert(fresh);
        claimed.insert(fresh);
        control->setId(fresh);
        if (entry.second) {
            m_repeatedIds.append(qMakePair(control, id));
            qCDebug(lcXml).noquote()
                << QStringLiteral("XControlHandler - control \"%1\" repeats the id %2 of an earlier "
                                  "control; it now has the id %3.")
                       .arg(control->name())
                       .arg(id)
                       .arg(fresh);
        }
    }
}
