#include "XControlHandler.h"

#include "CControl.h"
#include "KvrLogging.h"

const char *const XControlHandler::ControlsElement = "Controls";
const char *const XControlHandler::ControlElement = "Control";
const char *const XControlHandler::PropertyElement = "Property";
const char *const XControlHandler::WidgetProperty = "widget";
const char *const XControlHandler::AttributesProperty = "attributes";

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
    m_section = Section::None;
    return XmlHandler::startDocument();
}

bool XControlHandler::startElement(const QString &namespaceURI, const QString &localName,
                                   const QString &qName, const QXmlAttributes &atts)
{
    XmlHandler::startElement(namespaceURI, localName, qName, atts);
    if (qName == QLatin1String(ControlElement) && parentElement() == QLatin1String(ControlsElement))
        startControl(atts);
    else if (qName == QLatin1String(PropertyElement))
        startProperty(atts);
    else if (m_propertyDepth > 0 && depth == m_propertyDepth + 1)
        startPropertyElement(qName);
    else if (inSetting())
        m_value.clear();
    return true;
}

bool XControlHandler::characters(const QString &ch)
{
    if (inSetting())
        m_value += ch;
    return true;
}

bool XControlHandler::endElement(const QString &namespaceURI, const QString &localName,
                                 const QString &qName)
{
    if (inSetting())
        endSetting(qName);
    else if (depth == m_propertyDepth)
        m_propertyDepth = 0;
    else if (depth == m_controlDepth)
        endControl();
    return XmlHandler::endElement(namespaceURI, localName, qName);
}

void XControlHandler::startControl(const QXmlAttributes &atts)
{
    if (m_controlDepth > 0)
        return; // a control inside a control is no definition of its own
    m_controlDepth = depth;
    const QString name = attributeValue(QStringLiteral("name"), atts);
    if (m_filter.isEmpty() || m_filter == name)
        m_active = std::make_unique<CControl>(name, attributeValue(QStringLiteral("type"), atts));
}

void XControlHandler::startProperty(const QXmlAttributes &atts)
{
    const QString name = attributeValue(QStringLiteral("name"), atts);
    if (name == QLatin1String(WidgetProperty))
        m_section = Section::Widget;
    else if (name == QLatin1String(AttributesProperty))
        m_section = Section::Attributes;
    else
        m_section = Section::None;
    m_propertyDepth = m_section == Section::None ? 0 : depth;
}

void XControlHandler::startPropertyElement(const QString &element)
{
    if (m_section == Section::Widget) {
        if (m_active)
            m_active->beginWidgetSpec(element);
        else if (m_controlDepth == 0)
            qCDebug(lcXml).noquote()
                << "m_pActiveControl not defined while trying to processWidget( " + element + ")";
    } else if (m_section == Section::Attributes && m_active) {
        m_active->beginAttributeSpec(element);
    }
}

bool XControlHandler::inSetting() const
{
    return m_active && m_propertyDepth > 0 && depth == m_propertyDepth + 2;
}

void XControlHandler::endSetting(const QString &key)
{
    const QString value = simplifiedText(m_value);
    if (m_section == Section::Widget)
        m_active->addWidgetSetting(key, value);
    else
        m_active->addAttributeSetting(key, value);
    m_value.clear();
}

void XControlHandler::endControl()
{
    if (m_active)
        m_controls.append(m_active.release());
    m_controlDepth = 0;
}
