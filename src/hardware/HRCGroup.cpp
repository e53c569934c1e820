#include "HRCGroup.h"

QString HRCGroup::category() const
{
    return rcGroupsCategory();
}

QString HRCGroup::templateFolder() const
{
    return QStringLiteral("Korvel");
}
