#include "HIoNode.h"

HIoNode::HIoNode(const QString &cardType, int direction)
    : m_cardType(cardType)
    , m_direction(direction)
{
}
