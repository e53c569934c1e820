#include "IInterfaceFactory.h"

#include "ITcpClient.h"
#include "PProtocol.h"

IInterfaceFactory &IInterfaceFactory::instance()
{
    static IInterfaceFactory factory;
    return factory;
}

IInterface *IInterfaceFactory::create(QObject *parent) const
{
    return new ITcpClient(parent);
}

IInterface *IInterfaceFactory::create(PProtocol *protocol, const QString &address, int port,
                                      HNode *node, QObject *parent) const
{
    IInterface *interface = create(parent);
    interface->setProtocol(protocol);
    interface->setAddress(address);
    interface->setPort(port);
    interface->setHardwareNode(node);
    if (protocol)
        protocol->setInterface(interface);
    return interface;
}

int IInterfaceFactory::portNumber(const QString &text)
{
    bool ok = false;
    const int port = text.trimmed().toInt(&ok, 10);
    return ok && port >= 0 && port <= 65535 ? port : 0;
}
