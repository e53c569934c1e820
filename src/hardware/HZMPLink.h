#pragma once

#include "HIoNode.h"

// The channels that a processor sends over its processor link, or an
// amplifier over its amplifier link. The tree shows its parameters channel by
// channel.
class HZMPLink : public HIoNode
{
    Q_OBJECT
public:
    HZMPLink();

    QString category() const override;
    void parseProperty(const QXmlAttributes &atts) override;
    QString templatePath() const override;
    // Under a processor the link is the device's DriveNet, whatever the
    // design calls it.
    void setParentNode(HNode *node) override;
};
