#include "CWidgetSpec.h"

#include "XmlWriter.h"

CWidgetSpec::CWidgetSpec(const QString &element)
    : m_element(element)
{
}

QString CWidgetSpec::value(const QString &key) const
{
    for (const Setting &s : m_settings) {
        if (s.first == key)
            return s.second;
    }
    return QString();
}

QStringList CWidgetSpec::values(const QString &key) const
{
    QStringList result;
    for (const Setting &s : m_settings) {
        if (s.first == key)
            result << s.second;
    }
    return result;
}

void CWidgetSpec::setValue(const QString &key, const QString &value)
{
    for (Setting &s : m_settings) {
        if (s.first == key) {
            s.second = value;
            return;
        }
    }
    append(key, value);
}

void CWidgetSpec::append(const QString &key, const QString &value)
{
    m_settings.append(Setting(key, value));
}

bool CWidgetSpec::writeXml(XmlWriter &writer) const
{
    if (!writer.openElement(m_element))
        return false;
    for (const Setting &s : m_settings)
        writer.writeElement(s.first, s.second);
    return writer.closeElement(m_element);
}
