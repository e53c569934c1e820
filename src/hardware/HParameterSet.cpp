#include "HParameterSet.h"

HParameterSet::HParameterSet()
{
    setTitle(QStringLiteral("ParamSet"));
}

QString HParameterSet::category() const
{
    return parameterSetsCategory();
}

bool HParameterSet::finishLoading()
{
    HProjectNode::finishLoading();
    setTypenum(QStringLiteral("0"));
    return true;
}
