#pragma once

#include "HProjectNode.h"

// A parameter set of the project: stored values that a control recalls.
class HParameterSet : public HProjectNode
{
    Q_OBJECT
public:
    HParameterSet();

    QString category() const override;
    bool finishLoading() override;
    void clearText(QString &text) const override { text.clear(); }
};
