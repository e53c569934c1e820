#include "CControlIds.h"

#include <QDateTime>

quint32 CControlIds::next()
{
    static quint64 counter = quint64(QDateTime::currentMSecsSinceEpoch());
    quint32 id = 0;
    while (id == 0)
        id = quint32(++counter);
    return id;
}
