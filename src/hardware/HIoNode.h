#pragma once

#include "HNode.h"

#include <QStringList>

// Base of the I/O kinds: a card or channel group of a device, known by the
// card type that the design project gives it, on its receive or transmit
// side. Channel groups name their channels from "label<n>" properties.
class HIoNode : public HNode
{
    Q_OBJECT
public:
    enum Direction { Receive = 1, Transmit = 2 };

    HIoNode(const QString &cardType, int direction);

    QString cardType() const { return m_cardType; }
    int direction() const { return m_direction; }

    // "<number>-<label>" of channel i (numbered from 1); empty for a channel
    // the node does not have.
    QString channelName(int i) const override;
    int channelCount() const override;
    QStringList channelLabels() const { return m_channelLabels; }
    void dump() const override;

protected:
    // Takes a "label<n>" property (not "label" itself, the node's own) as
    // the next channel's label; true when it was one.
    bool readChannelLabel(const QString &name, const QString &value);
    // ":/data/<family folder>/<file>"; empty without a family folder.
    QString familyTemplate(const QString &file) const;

    QString m_cardType;

private:
    int m_direction;
    QStringList m_channelLabels;
};
