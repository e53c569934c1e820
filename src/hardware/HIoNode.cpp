#include "HIoNode.h"

#include "KvrLogging.h"

HIoNode::HIoNode(const QString &cardType, int direction)
    : m_cardType(cardType)
    , m_direction(direction)
{
}

QString HIoNode::channelName(int i) const
{
    if (i < 0 || i >= m_channelLabels.size())
        return QString();
    return QStringLiteral("%1-%2").arg(i + 1).arg(m_channelLabels.at(i));
}

int HIoNode::channelCount() const
{
    return m_channelLabels.size();
}

bool HIoNode::readChannelLabel(const QString &name, const QString &value)
{
    if (name == QLatin1String("label") || !name.startsWith(QLatin1String("label")))
        return false;
    m_channelLabels.append(value);
    return true;
}

QString HIoNode::familyTemplate(const QString &file) const
{
    const QString folder = templateFolder();
    if (folder.isEmpty() || file.isEmpty())
        return QString();
    return QStringLiteral(":/data/%1/%2").arg(folder, file);
}

void HIoNode::dump() const
{
    qCDebug(lcHardware).noquote() << category() << m_label << m_title << "card" << m_cardType
                                  << "slot" << slotNumber() << "channels"
                                  << m_channelLabels.join(QLatin1Char(','));
}
