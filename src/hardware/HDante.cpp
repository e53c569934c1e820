#include "HDante.h"

QString HDante::category() const
{
    return tr("Dante I/O");
}
