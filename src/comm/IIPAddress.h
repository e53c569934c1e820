#pragma once

#include <QHostAddress>

// An IPv4 address whose four octets can be read and replaced one by one;
// octet 0 is the most significant.
class IIPAddress : public QHostAddress
{
public:
    static constexpr int OctetCount = 4;

    IIPAddress() = default;
    explicit IIPAddress(const QString &address) : QHostAddress(address) {}
    explicit IIPAddress(quint32 ip4) : QHostAddress(ip4) {}
    virtual ~IIPAddress() = default;

    // The octet's value, or -1 for an index outside 0..3.
    int octet(int index) const;
    // Replaces the octet; an index outside 0..3 or a value outside 0..255
    // changes nothing. Answers whether it was replaced.
    bool setOctet(int index, int value);
    int octetCount() const { return OctetCount; }
};
