#include "HParameterSetList.h"

#include "XmlHandler.h"

HParameterSetList::HParameterSetList()
{
    setTitle(QStringLiteral("PSetList"));
    setTypenum(QStringLiteral("0"));
}

QString HParameterSetList::category() const
{
    return parameterSetListsCategory();
}

void HParameterSetList::parseTarget(const QXmlAttributes &atts, bool mergeMode)
{
    addMember(XmlHandler::attributeValue(QStringLiteral("targetID"), atts), mergeMode);
}

void HParameterSetList::addMember(const QString &targetID, bool mergeMode)
{
    if (!mergeMode || !m_members.contains(targetID))
        m_members.append(targetID);
}
