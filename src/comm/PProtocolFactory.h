#pragma once

#include <QString>

class PProtocol;
class QObject;

// Creates the protocol of a device from its family text.
class PProtocolFactory
{
public:
    static PProtocolFactory &instance();

    // A family that begins with "Korvel", "ZMP", "KA" or "PQ" (exactly so)
    // speaks the device protocol; "File" gives the panel transfer protocol;
    // anything else gives null.
    PProtocol *create(const QString &family, QObject *parent = nullptr) const;

private:
    PProtocolFactory() = default;
};
