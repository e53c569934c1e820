#include "CAttributes.h"

namespace {
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

void CAttributes::setAttribute(const QString &key, const QString &value)
{
    if (key == QLatin1String("index1"))
        readInt(value, &m_index1);
    else if (key == QLatin1String("index2"))
        readInt(value, &m_index2);
    else if (key == QLatin1String("link"))
        m_link = toUnsigned(value);
    else if (key == QLatin1String("set"))
        m_set = value;
    else if (key == QLatin1String("format"))
        setFormat(value);
    else if (key == QLatin1String("transform"))
        m_transform = value;
    else if (key == QLatin1String("units"))
        m_units = value;
    else if (key == QLatin1String("minimum"))
        readFloat(value, &m_minimum);
    else if (key == QLatin1String("minLimit"))
        readFloat(value, &m_minLimit);
    else if (key == QLatin1String("maximum"))
        readFloat(value, &m_maximum);
    else if (key == QLatin1String("maxLimit"))
        readFloat(value, &m_maxLimit);
    else if (key == QLatin1String("step"))
        readFloat(value, &m_step);
    else if (key == QLatin1String("field"))
        m_field = toUnsigned(value);
    else if (key == QLatin1String("struct"))
        m_struct = toUnsigned(value);
    else if (key == QLatin1String("channelLabel"))
        m_channelLabel = value;
    else if (key == QLatin1String("cardPin"))
        readInt(value, &m_cardPin);
    else if (key == QLatin1String("callType"))
        m_callType = value;
    else if (key == QLatin1String("action")) {
        if (value == QLatin1String("SET"))
            m_actionSet = true;
        else if (value == QLatin1String("RESET"))
            m_actionReset = true;
    } else if (key == QLatin1String("enableEdit"))
        m_enableEdit = readFlag(value, m_enableEdit);
    else if (key == QLatin1String("doNotPoll"))
        m_doNotPoll = readFlag(value, m_doNotPoll);
}
