#include "THexL.h"

#include "CAttributes.h"

THexL::THexL(QObject *parent) : TIndexedList(parent)
{
    m_table.fill(Empty);
}

void THexL::configure()
{
    m_table.fill(Empty);
    m_count = 0;
    if (!ownerAttributes())
        return;
    const QStringList fields = ownerAttributes()->set().split(QLatin1Char(','));
    for (const QString &field : fields) {
        if (field.isEmpty() || m_count == TableSize)
            break;
        bool ok = false;
        const qulonglong code = field.toULongLong(&ok, 16);
        m_table[m_count++] = ok ? static_cast<unsigned char>(code & 0xff) : 0;
    }
}

void THexL::value(unsigned char &out) const
{
    out = m_valueIndex < TableSize ? m_table[m_valueIndex] : Empty;
}

void THexL::replyValue(unsigned char &out) const
{
    out = Empty;
}

QString THexL::valueText() const
{
    if (m_valueIndex >= m_count)
        return QStringLiteral("?");
    return QString(QChar(m_table[m_valueIndex]));
}

bool THexL::hasSendableValue() const
{
    return m_valueIndex < m_count && m_table[m_valueIndex] >= 0x20 && m_table[m_valueIndex] < 0x7f;
}

QString THexL::replyText() const
{
    return QStringLiteral("?");
}

QString THexL::typeName() const
{
    return QStringLiteral("HexL");
}
