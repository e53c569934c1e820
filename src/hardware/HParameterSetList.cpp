#include "HParameterSetList.h"

QString HParameterSetList::category() const
{
    return parameterSetListsCategory();
}
