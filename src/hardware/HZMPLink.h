#pragma once

#include "HNode.h"

#include <QStringList>

// The channels that a processor sends over its processor link, or an
// amplifier over its amplifier link. The tree shows its parameters channel by
// channel.
class HZMPLink : public HNode
{
    Q_OBJECT
public:
    HZMPLink() = default;

    QString category() const override;
    void parseProperty(const QXmlAttributes &atts) override;
    // "<number>-<label>" of channel i (numbered from 1); empty for a channel
    // the link does not have.
    QString channelName(int i) const override;
    int channelCount() const override;
    QString templatePath() const override;

    QStringList channelLabels() const { return m_channelLabels; }

private:
    QStringList m_channelLabels;
};
