#include "HZMPLink.h"

#include "XmlHandler.h"

QString HZMPLink::category() const
{
    return tr("Digital I/O");
}

void HZMPLink::parseProperty(const QXmlAttributes &atts)
{
    const QString name = XmlHandler::attributeValue(QStringLiteral("name"), atts);
    if (name != QLatin1String("label") && name.startsWith(QLatin1String("label")))
        m_channelLabels.append(XmlHandler::attributeValue(QStringLiteral("value"), atts));
    else if (name.startsWith(QLatin1String("level")))
        addRange(name, atts);
    HNode::parseProperty(atts);
}

QString HZMPLink::channelName(int i) const
{
    if (i < 0 || i >= m_channelLabels.size())
        return QString();
    return QStringLiteral("%1-%2").arg(i + 1).arg(m_channelLabels.at(i));
}

int HZMPLink::channelCount() const
{
    return m_channelLabels.size();
}

QString HZMPLink::templatePath() const
{
    const QString folder = templateFolder();
    if (folder.isEmpty())
        return QString();
    return QStringLiteral(":/data/%1/ZMPLink_0.xml").arg(folder);
}
