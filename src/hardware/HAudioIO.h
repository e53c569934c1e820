#pragma once

#include "HIoNode.h"

// An I/O card of a device, or a group of its channels (analog, digital,
// telephony or USB).
class HAudioIO : public HIoNode
{
    Q_OBJECT
public:
    HAudioIO(const QString &cardType, int direction);

    QString category() const override;

private:
    QString m_cardCategory;
};
