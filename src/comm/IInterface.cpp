#include "IInterface.h"

#include "HNode.h"
#include "KvrLogging.h"
#include "PProtocol.h"

IInterface::IInterface(QObject *parent) : QObject(parent) {}

IInterface::~IInterface() = default;

bool IInterface::open()
{
    return false;
}

bool IInterface::close()
{
    return false;
}

void IInterface::ensureOpen() {}

void IInterface::shutdown() {}

quint32 IInterface::send(const QByteArray &, int, const QString &, quint32)
{
    return 0;
}

bool IInterface::waitForBytesWritten(int)
{
    return false;
}

quint32 IInterface::sendSet(const QByteArray &data, const QByteArray &, quint32 timeoutMs)
{
    return send(data, AckExpected, QString(), timeoutMs);
}

void IInterface::reconnect() {}

void IInterface::notifyState()
{
    emit interfaceStateChanged(m_connected);
}

QString IInterface::statusText() const
{
    return QStringLiteral("?");
}

void IInterface::dump() const
{
    qCDebug(lcComm) << this << name();
}

QString IInterface::name() const
{
    return QStringLiteral("Null Interface");
}

QString IInterface::addressText() const
{
    return QString();
}

void IInterface::setAddress(const QString &) {}

void IInterface::setPort(int) {}

int IInterface::connectionState() const
{
    return 0;
}

void IInterface::setProtocol(PProtocol *protocol)
{
    m_protocol = protocol;
}

PProtocol *IInterface::protocol() const
{
    return m_protocol;
}

HNode *IInterface::hardwareNode() const
{
    return m_node;
}

void IInterface::setHardwareNode(HNode *node)
{
    m_node = node;
}

bool IInterface::isStreamingSet() const
{
    return false;
}

void IInterface::resynchronize() {}

quint8 IInterface::streaming() const
{
    return 0;
}

void IInterface::setStreaming(quint8) {}

void IInterface::armHostCheck() {}
