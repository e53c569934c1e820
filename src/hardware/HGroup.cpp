#include "HGroup.h"

#include "KvrLogging.h"
#include "XmlHandler.h"

namespace {
bool readInteger(const QXmlAttributes &atts, const char *name, qint64 *value)
{
    bool ok = false;
    *value = XmlHandler::attributeValue(QLatin1String(name), atts).toInt(&ok);
    return ok;
}
} // namespace

HGroup::HGroup()
{
    setTitle(QStringLiteral("Group"));
}

QString HGroup::category() const
{
    return groupsCategory();
}

void HGroup::parseProperty(const QXmlAttributes &atts)
{
    if (XmlHandler::attributeValue(QStringLiteral("name"), atts) == QLatin1String("groupType"))
        m_groupType = XmlHandler::attributeValue(QStringLiteral("value"), atts);
    else
        HProjectNode::parseProperty(atts);
}

QString HGroup::typenumOf(const QString &groupType)
{
    const char *const Types[] = {"Level", "Level + Mute", "Mute", "Selector"};
    for (int i = 0; i < 4; ++i) {
        if (groupType == QLatin1String(Types[i]))
            return QString::number(i);
    }
    return QString();
}

bool HGroup::finishLoading()
{
    HProjectNode::finishLoading();
    const QString typenum = typenumOf(m_groupType);
    if (!typenum.isEmpty())
        setTypenum(typenum);
    return true;
}

QStringList HGroup::rangeItems(const QString &label, qint64 minimum, qint64 maximum, qint64 step)
{
    if (step <= 0 || maximum < minimum || (maximum - minimum) / step + 1 > MaxRangeItems)
        return QStringList();
    QStringList items;
    for (qint64 value = minimum; value <= maximum; value += step)
        items.append(QStringLiteral("%1>%2 %1").arg(value).arg(label));
    return items;
}

void HGroup::addItem(const QString &item, bool mergeMode)
{
    if (item.isEmpty())
        return;
    if (!mergeMode || !m_selectorItems.contains(item))
        m_selectorItems.append(item);
}

void HGroup::parseTarget(const QXmlAttributes &atts, bool mergeMode)
{
    if (m_groupType != QLatin1String("Selector"))
        return;
    const int targetID = XmlHandler::attributeValue(QStringLiteral("targetID"), atts).toInt();
    if (!m_hasTarget) {
        m_targetID = targetID;
        m_hasTarget = true;
    } else if (targetID != m_targetID) {
        // A selector drives one block; a second target is a stray entry.
        qCDebug(lcHardware).noquote() << "Selector group" << m_id << "keeps target" << m_targetID
                                      << "and ignores target" << targetID;
        return;
    }

    const QString property = XmlHandler::attributeValue(QStringLiteral("targetProp"), atts);
    const QString value = XmlHandler::attributeValue(QStringLiteral("targetValue"), atts);
    if (!property.startsWith(QLatin1String("name")) && property != QLatin1String("selector")) {
        qint64 minimum = 0;
        qint64 maximum = 0;
        qint64 step = 0;
        if (readInteger(atts, "targetMin", &minimum) && readInteger(atts, "targetMax", &maximum)
            && readInteger(atts, "targetStep", &step)) {
            for (const QString &item : rangeItems(property, minimum, maximum, step))
                addItem(item, mergeMode);
        }
    }
    addItem(value, mergeMode);
}
