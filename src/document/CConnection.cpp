#include "CConnection.h"

#include "HNode.h"
#include "XmlPanelTags.h"
#include "XmlWriter.h"

CConnection::CConnection(const QString &name)
    : m_name(name)
{
}

QStringList CConnection::deviceKeys()
{
    return {QStringLiteral("title"),       QStringLiteral("ipaddress"),
            QStringLiteral("ipport"),      QStringLiteral("monitorport"),
            QStringLiteral("serialport"),  QStringLiteral("platform")};
}

QString CConnection::value(const QString &key) const
{
    for (const Setting &s : m_settings) {
        if (s.first == key)
            return s.second;
    }
    return QString();
}

void CConnection::setValue(const QString &key, const QString &value)
{
    for (Setting &s : m_settings) {
        if (s.first == key) {
            s.second = value;
            return;
        }
    }
    m_settings.append(Setting(key, value));
}

bool CConnection::writeXml(XmlWriter &writer) const
{
    const QString element = QLatin1String(XmlPanelTags::Connection);
    const QString property = QLatin1String(XmlPanelTags::Property);
    if (!writer.openElement(element, m_name))
        return false;
    writer.openElement(property, QLatin1String(XmlPanelTags::Attributes));
    const QStringList keys = deviceKeys();
    for (const QString &key : keys) {
        for (const Setting &s : m_settings) {
            if (s.first == key)
                writer.writeElement(s.first, s.second);
        }
    }
    for (const Setting &s : m_settings) {
        if (!keys.contains(s.first))
            writer.writeElement(s.first, s.second);
    }
    writer.closeElement(property);
    return writer.closeElement(element);
}

void CConnection::applyTo(HNode *device) const
{
    if (!device)
        return;
    for (const Setting &s : m_settings) {
        device->setAttribute(s.first, s.second);
        device->attributeChanged(s.first);
    }
}
