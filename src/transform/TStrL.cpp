#include "TStrL.h"

#include "CAttributes.h"

TStrL::TStrL(QObject *parent) : TTextList(parent)
{
    m_entries.fill(QString(), SlotCount);
}

void TStrL::configure()
{
    const QStringList fields =
        ownerAttributes() ? ownerAttributes()->set().split(QLatin1Char(',')) : QStringList();
    m_entries = QStringList();
    for (const QString &field : fields) {
        if (field.isEmpty() || m_entries.size() == SlotCount)
            break;
        m_entries.append(field);
    }
    while (m_entries.size() < SlotCount)
        m_entries.append(QString());
}

QString TStrL::typeName() const
{
    return QStringLiteral("StrL");
}
