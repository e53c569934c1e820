#include "TChrL.h"

#include "CAttributes.h"

TChrL::TChrL(QObject *parent) : TTextList(parent) {}

void TChrL::configure()
{
    m_entries = ownerAttributes() ? ownerAttributes()->set().split(QLatin1Char(',')) : QStringList();
}

QString TChrL::typeName() const
{
    return QStringLiteral("ChrL");
}

unsigned char TChrL::indexOf(const QString &text) const
{
    return text.isEmpty() ? 0 : TTextList::indexOf(text);
}
