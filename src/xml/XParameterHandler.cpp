#include "XParameterHandler.h"

#include "CParameter.h"

const char *const XParameterHandler::ParameterElement = "parameter";

XParameterHandler::XParameterHandler(QList<CParameter *> *target)
    : m_target(target)
{
}

XParameterHandler::~XParameterHandler() = default;

bool XParameterHandler::inField() const
{
    return m_record && parentElement() == QLatin1String(ParameterElement);
}

bool XParameterHandler::startElement(const QString &namespaceURI, const QString &localName,
                                     const QString &qName, const QXmlAttributes &atts)
{
    XmlHandler::startElement(namespaceURI, localName, qName, atts);
    if (qName == QLatin1String(ParameterElement))
        m_record = std::make_unique<CParameter>();
    else if (inField())
        m_value.clear();
    return true;
}

bool XParameterHandler::characters(const QString &ch)
{
    // The field is known by its parent, not by a flag that the end of the
    // previous field has cleared, so text and type are read in any order.
    if (inField())
        m_value += ch;
    return true;
}

bool XParameterHandler::endElement(const QString &namespaceURI, const QString &localName,
                                   const QString &qName)
{
    if (inField()) {
        m_record->setValue(qName, simplifiedText(m_value));
        m_value.clear();
    } else if (qName == QLatin1String(ParameterElement) && m_record && m_target) {
        m_target->append(m_record.release());
    }
    return XmlHandler::endElement(namespaceURI, localName, qName);
}
