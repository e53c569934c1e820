#include "TGrpVLimiter.h"

int TGrpVLimiter::limit(qint64 code)
{
    return int(qBound(qint64(Off), code, qint64(Max)));
}
