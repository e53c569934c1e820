#include "HZMPLink.h"

#include "HCategories.h"
#include "HChassis.h"
#include "XmlHandler.h"

HZMPLink::HZMPLink()
    : HIoNode(QString(), Transmit)
{
}

QString HZMPLink::category() const
{
    return HCategories::text(HCategories::Digital);
}

void HZMPLink::parseProperty(const QXmlAttributes &atts)
{
    const QString name = XmlHandler::attributeValue(QStringLiteral("name"), atts);
    if (!readChannelLabel(name, XmlHandler::attributeValue(QStringLiteral("value"), atts))
        && name.startsWith(QLatin1String("level")))
        addRange(name, atts);
    HIoNode::parseProperty(atts);
}

QString HZMPLink::templatePath() const
{
    return familyTemplate(QStringLiteral("ZMPLink_0.xml"));
}

void HZMPLink::setParentNode(HNode *node)
{
    HIoNode::setParentNode(node);
    const auto *device = qobject_cast<const HChassis *>(node);
    if (device && device->isProcessorFamily())
        setLabel(QStringLiteral("DriveNet"));
}
