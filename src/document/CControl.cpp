#include "CControl.h"

CControl::CControl(const QString &name, const QString &type, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_type(type)
{
    m_attributes.setOwner(this);
}

void CControl::beginWidgetSpec(const QString &element)
{
    m_widgetSpecs.append(CWidgetSpec(element));
}

bool CControl::addWidgetSetting(const QString &key, const QString &value)
{
    if (m_widgetSpecs.isEmpty())
        return false;
    m_widgetSpecs.last().append(key, value);
    return true;
}

void CControl::beginAttributeSpec(const QString &element)
{
    m_attributeSpec = CWidgetSpec(element);
}

bool CControl::addAttributeSetting(const QString &key, const QString &value)
{
    if (m_attributeSpec.element().isEmpty())
        return false;
    m_attributeSpec.append(key, value);
    return true;
}
