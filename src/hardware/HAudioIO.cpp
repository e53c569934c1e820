#include "HAudioIO.h"

HAudioIO::HAudioIO(const QString &cardType, int direction)
    : HIoNode(cardType, direction)
    , m_cardCategory(tr("Analog I/O"))
{
    // The design software numbers its VoIP cards ("VOIP 2"); the module
    // tables know them as one type.
    if (m_cardType.startsWith(QLatin1String("VOIP")))
        m_cardType = QStringLiteral("VOIP");
}

QString HAudioIO::category() const
{
    return m_cardCategory;
}
