#pragma once

#include <QString>

class HNode;
class IInterface;
class PProtocol;
class QObject;

// Creates the interfaces of devices. There is one kind, the TCP client.
class IInterfaceFactory
{
public:
    static IInterfaceFactory &instance();

    // A new, closed TCP client owned by parent.
    IInterface *create(QObject *parent = nullptr) const;
    // A new TCP client set up for a device: it talks for protocol to
    // address and port, serves node, and is handed to the protocol. The
    // caller (the chassis) owns it.
    IInterface *create(PProtocol *protocol, const QString &address, int port, HNode *node,
                       QObject *parent = nullptr) const;

    // A port number as a device's settings write it: decimal, 0 when the
    // text is no number or does not fit.
    static int portNumber(const QString &text);

private:
    IInterfaceFactory() = default;
};
