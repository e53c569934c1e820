#include "HBlock.h"

QString HBlock::category() const
{
    return QStringLiteral("Blocks");
}
