#pragma once

#include "HIoNode.h"

#include <QList>

// A Dante receive or transmit channel group of a device. Each channel has a
// label and the pin of the Dante card that carries it.
class HDante : public HIoNode
{
    Q_OBJECT
public:
    using HIoNode::HIoNode;

    QString category() const override;
    void parseProperty(const QXmlAttributes &atts) override;
    QString templatePath() const override;
    // The card pin of channel i; -1 for a channel without one.
    int cardPin(int channel) const override;
    QList<int> cardPins() const { return m_cardPins; }

private:
    QList<int> m_cardPins;
};
