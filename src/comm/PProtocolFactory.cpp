#include "PProtocolFactory.h"

#include "PFileProtocol.h"
#include "PKVDProtocol.h"

#include <QStringList>

PProtocolFactory &PProtocolFactory::instance()
{
    static PProtocolFactory factory;
    return factory;
}

PProtocol *PProtocolFactory::create(const QString &family, QObject *parent) const
{
    if (family == QLatin1String("File"))
        return new PFileProtocol(parent);
    static const QStringList deviceFamilies = {QStringLiteral("Korvel"), QStringLiteral("ZMP"),
                                               QStringLiteral("KA"), QStringLiteral("PQ")};
    for (const QString &prefix : deviceFamilies) {
        if (family.startsWith(prefix, Qt::CaseSensitive))
            return new PKVDProtocol(parent);
    }
    return nullptr;
}
