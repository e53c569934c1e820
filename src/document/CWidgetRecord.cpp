#include "CWidgetRecord.h"

#include "XmlWriter.h"

CWidgetRecord::CWidgetRecord(const QString &element)
    : m_element(element)
{
}

QString CWidgetRecord::value(const QString &key) const
{
    for (const Setting &s : m_settings) {
        if (s.first == key)
            return s.second;
    }
    return QString();
}

QStringList CWidgetRecord::values(const QString &key) const
{
    QStringList result;
    for (const Setting &s : m_settings) {
        if (s.first == key)
            result << s.second;
    }
    return result;
}

void CWidgetRecord::setValue(const QString &key, const QString &value)
{
    for (Setting &s : m_settings) {
        if (s.first == key) {
            s.second = value;
            return;
        }
    }
    append(key, value);
}

void CWidgetRecord::append(const QString &key, const QString &value)
{
    m_settings.append(Setting(key, value));
}

bool CWidgetRecord::writeXml(XmlWriter &writer) const
{
    if (!writer.openElement(m_element))
        return false;
    for (const Setting &s : m_settings)
        writer.writeElement(s.first, s.second);
    return writer.closeElement(m_element);
}
