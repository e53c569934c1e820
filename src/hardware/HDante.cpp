#include "HDante.h"

#include "HCategories.h"
#include "XmlHandler.h"

QString HDante::category() const
{
    return HCategories::text(HCategories::Dante);
}

void HDante::parseProperty(const QXmlAttributes &atts)
{
    const QString name = XmlHandler::attributeValue(QStringLiteral("name"), atts);
    const QString value = XmlHandler::attributeValue(QStringLiteral("value"), atts);
    if (!readChannelLabel(name, value) && name.startsWith(QLatin1String("cardPin"))) {
        bool ok = false;
        const int pin = value.toInt(&ok);
        m_cardPins.append(ok ? pin : -1);
    }
    HIoNode::parseProperty(atts);
}

QString HDante::templatePath() const
{
    return familyTemplate(QStringLiteral("Dante_0.xml"));
}

int HDante::cardPin(int channel) const
{
    return m_cardPins.value(channel, -1);
}
