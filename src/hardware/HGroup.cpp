#include "HGroup.h"

QString HGroup::category() const
{
    return groupsCategory();
}
