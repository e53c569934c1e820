#pragma once

#include "HNode.h"

// An echo canceller of a device.
class HEchoCanel : public HNode
{
    Q_OBJECT
public:
    HEchoCanel() = default;

    QString category() const override;
    bool finishLoading() override;
};
