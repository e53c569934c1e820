#include "HRCRoom.h"

QString HRCRoom::category() const
{
    return QStringLiteral("RCRooms");
}
