#include "CAttributes.h"

#include "CControl.h"
#include "HNode.h"
#include "XmlWriter.h"

const char *const CAttributes::RangeElement = "range";
const char *const CAttributes::ListElement = "list";

namespace {
const QLatin1String Index1Key("index1");
const QLatin1String Index2Key("index2");
const QLatin1String LinkKey("link");
const QLatin1String SetKey("set");
const QLatin1String FormatKey("format");
const QLatin1String TransformKey("transform");
const QLatin1String UnitsKey("units");
const QLatin1String MinimumKey("minimum");
const QLatin1String MinLimitKey("minLimit");
const QLatin1String MaximumKey("maximum");
const QLatin1String MaxLimitKey("maxLimit");
const QLatin1String StepKey("step");
const QLatin1String FieldKey("field");
const QLatin1String StructKey("struct");
const QLatin1String ChannelLabelKey("channelLabel");
const QLatin1String CardPinKey("cardPin");
const QLatin1String CallTypeKey("callType");
const QLatin1String ActionKey("action");
const QLatin1String EnableEditKey("enableEdit");
const QLatin1String DoNotPollKey("doNotPoll");
const QLatin1String SetAction("SET");
const QLatin1String ResetAction("RESET");

void readInt(const QString &text, int *target)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok)
        *target = v;
}

void readFloat(const QString &text, float *target)
{
    bool ok = false;
    const float v = text.trimmed().toFloat(&ok);
    if (ok)
        *target = v;
}

bool readFlag(const QString &text, bool current)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? v != 0 : current;
}
} // namespace

quint32 CAttributes::toUnsigned(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const quint32 v = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toUInt(&ok, 16)
                                                                              : t.toUInt(&ok, 10);
    return ok ? v : 0;
}

int CAttributes::precisionOf(const QString &format)
{
    const int dot = format.indexOf(QLatin1Char('.'));
    return dot < 0 ? 0 : int(format.size() - dot - 1);
}

void CAttributes::setFormat(const QString &format)
{
    m_format = format;
    m_precision = precisionOf(format);
}

bool CAttributes::setKindFromElement(const QString &element)
{
    if (element == QLatin1String(RangeElement))
        m_kind = Range;
    else if (element == QLatin1String(ListElement))
        m_kind = List;
    else
        return false;
    return true;
}

QString CAttributes::elementName() const
{
    return QLatin1String(m_kind == List ? ListElement : RangeElement);
}

HNode *CAttributes::ownerNode() const
{
    return m_owner ? m_owner->node() : nullptr;
}

QString CAttributes::channelLabel() const
{
    if (m_channelLabel.size() != 1)
        return m_channelLabel;
    const HNode *node = ownerNode();
    return node ? node->channelName(m_index1 - 1) : QString();
}

int CAttributes::cardPin() const
{
    if (m_cardPin >= 0)
        return m_cardPin;
    const HNode *node = ownerNode();
    return node ? node->cardPin(m_index1 - 1) : -1;
}

void CAttributes::setAttribute(const QString &key, const QString &value)
{
    if (key == Index1Key)
        readInt(value, &m_index1);
    else if (key == Index2Key)
        readInt(value, &m_index2);
    else if (key == LinkKey)
        m_link = toUnsigned(value);
    else if (key == SetKey)
        m_set = value;
    else if (key == FormatKey)
        setFormat(value);
    else if (key == TransformKey)
        m_transform = value;
    else if (key == UnitsKey)
        m_units = value;
    else if (key == MinimumKey)
        readFloat(value, &m_minimum);
    else if (key == MinLimitKey)
        readFloat(value, &m_minLimit);
    else if (key == MaximumKey)
        readFloat(value, &m_maximum);
    else if (key == MaxLimitKey)
        readFloat(value, &m_maxLimit);
    else if (key == StepKey)
        readFloat(value, &m_step);
    else if (key == FieldKey)
        m_field = toUnsigned(value);
    else if (key == StructKey)
        m_struct = toUnsigned(value);
    else if (key == ChannelLabelKey)
        m_channelLabel = value;
    else if (key == CardPinKey)
        readInt(value, &m_cardPin);
    else if (key == CallTypeKey)
        m_callType = value;
    else if (key == ActionKey) {
        if (value == SetAction)
            m_actionSet = true;
        else if (value == ResetAction)
            m_actionReset = true;
    } else if (key == EnableEditKey)
        m_enableEdit = readFlag(value, m_enableEdit);
    else if (key == DoNotPollKey)
        m_doNotPoll = readFlag(value, m_doNotPoll);
}

void CAttributes::writeConversion(XmlWriter &writer) const
{
    writer.writeElement(FormatKey, m_format);
    writer.writeElement(TransformKey, m_transform);
    // The stored label and pin, not the ones looked up, so that a control
    // keeps following its node's channel.
    if (!m_channelLabel.isEmpty())
        writer.writeElement(ChannelLabelKey, m_channelLabel);
    writer.writeElement(CardPinKey, m_cardPin);
}

bool CAttributes::writeXml(XmlWriter &writer) const
{
    const QString element = elementName();
    if (!writer.openElement(element))
        return false;
    // Both kinds begin alike.
    if (m_index1 > 0)
        writer.writeElement(Index1Key, m_index1);
    if (m_index2 > 0)
        writer.writeElement(Index2Key, m_index2);
    if (m_struct != 0)
        writer.writeElement(StructKey, static_cast<unsigned int>(m_struct));
    writer.writeElement(EnableEditKey, m_enableEdit ? 1 : 0);
    if (m_kind == Range) {
        writer.writeElement(MinimumKey, m_minimum);
        writer.writeElement(MinLimitKey, m_minLimit);
        writer.writeElement(MaximumKey, m_maximum);
        writer.writeElement(MaxLimitKey, m_maxLimit);
        writer.writeElement(StepKey, m_step);
        writer.writeElement(UnitsKey, m_units);
        writeConversion(writer);
        if (!m_set.isEmpty())
            writer.writeElement(SetKey, m_set);
        if (!m_callType.isEmpty())
            writer.writeElement(CallTypeKey, m_callType);
    } else {
        writer.writeElement(SetKey, m_set);
        writeConversion(writer);
        if (m_actionSet)
            writer.writeElement(ActionKey, QString(SetAction));
        if (m_actionReset)
            writer.writeElement(ActionKey, QString(ResetAction));
        if (m_doNotPoll)
            writer.writeElement(DoNotPollKey, 1);
    }
    return writer.closeElement(element);
}
