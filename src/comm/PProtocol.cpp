#include "PProtocol.h"

#include "IInterface.h"

PProtocol::PProtocol(QObject *parent) : QObject(parent) {}

PProtocol::~PProtocol() = default;

bool PProtocol::sendValue(TTransform *)
{
    return false;
}

bool PProtocol::poll(TTransform *)
{
    return false;
}

bool PProtocol::sendFile(const QString &)
{
    return false;
}

bool PProtocol::receiveFile(const QString &)
{
    return false;
}

bool PProtocol::handleReply(const QByteArray &)
{
    return false;
}

void PProtocol::replyTimeout(const QString &) {}

QString PProtocol::typeName() const
{
    return QStringLiteral("----");
}

void PProtocol::setInterface(IInterface *interface)
{
    m_interface = interface;
}

IInterface *PProtocol::interface() const
{
    return m_interface;
}

void PProtocol::setModel(MModel *model)
{
    m_model = model;
}

void PProtocol::resynchronize() {}

bool PProtocol::isSubscribed() const
{
    return false;
}

void PProtocol::queryNow(TTransform *, int) {}

bool PProtocol::setOnline(bool)
{
    return false;
}

void PProtocol::forget(TTransform *) {}

QByteArray PProtocol::probeCommand() const
{
    return QByteArray();
}

bool PProtocol::onOnlineStateChanged(bool online)
{
    return setOnline(online);
}
