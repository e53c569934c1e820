#pragma once

#include "HNode.h"

// Base of the I/O kinds: a card or channel group of a device, known by the
// card type that the design project gives it, on its receive or transmit
// side.
class HIoNode : public HNode
{
    Q_OBJECT
public:
    enum Direction { Receive = 1, Transmit = 2 };

    HIoNode(const QString &cardType, int direction);

    QString cardType() const { return m_cardType; }
    int direction() const { return m_direction; }

protected:
    QString m_cardType;

private:
    int m_direction;
};
