#include "IIPAddress.h"

int IIPAddress::octet(int index) const
{
    if (index < 0 || index >= OctetCount)
        return -1;
    return int((toIPv4Address() >> ((OctetCount - 1 - index) * 8)) & 0xffu);
}

bool IIPAddress::setOctet(int index, int value)
{
    if (index < 0 || index >= OctetCount || value < 0 || value > 255)
        return false;
    const int shift = (OctetCount - 1 - index) * 8;
    const quint32 mask = 0xffu << shift;
    setAddress((toIPv4Address() & ~mask) | (quint32(value) << shift));
    return true;
}
