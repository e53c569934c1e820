#include "HParameterSet.h"

QString HParameterSet::category() const
{
    return parameterSetsCategory();
}
