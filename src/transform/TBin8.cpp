#include "TBin8.h"

#include "HNode.h"

namespace {
// Devices answer with signed 16-bit numbers; anything else reads as 0.
int readNumber(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const short n = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toShort(&ok, 16)
                                                                          : t.toShort(&ok, 10);
    return ok ? n : 0;
}
} // namespace

TBin8::TBin8(QObject *parent) : TTransform(parent) {}

void TBin8::setValue(int value)
{
    m_value = value;
}

void TBin8::setValue(unsigned char value)
{
    m_value = value;
}

void TBin8::setValueText(const QString &text)
{
    if (!text.isEmpty())
        m_value = readNumber(text);
}

void TBin8::setReplyText(const QString &text)
{
    if (text.isEmpty())
        return;
    m_reply = readNumber(text);
    emit replyValueReady();
}

void TBin8::value(int &out) const
{
    out = m_value;
}

void TBin8::value(unsigned char &out) const
{
    out = static_cast<unsigned char>(m_value & 0xff);
}

void TBin8::replyValue(int &out) const
{
    out = m_reply;
}

void TBin8::replyValue(unsigned char &out) const
{
    out = static_cast<unsigned char>(m_reply & 0xff);
}

QString TBin8::valueText() const
{
    if (m_value == 0 && node() && node()->blockMode() != 0)
        return QStringLiteral("N");
    return QString::number(m_value);
}

QString TBin8::replyText() const
{
    return QString::number(m_reply);
}

int TBin8::valueLength() const
{
    return 1;
}

QString TBin8::typeName() const
{
    return QStringLiteral("Bin8");
}
