#include "ITcpServer.h"

#include "KvrLogging.h"
#include "PProtocol.h"

#include <QTcpServer>
#include <QTcpSocket>

ITcpServer::ITcpServer(QObject *parent) : IInterface(parent) {}

ITcpServer::~ITcpServer()
{
    if (m_server)
        close();
}

bool ITcpServer::open()
{
    if (!m_server) {
        m_server = new QTcpServer(this);
        connect(m_server, &QTcpServer::newConnection, this, &ITcpServer::newConnection);
        connect(m_server, &QTcpServer::acceptError, this, &ITcpServer::serverror);
    }
    if (m_server->isListening() && (m_port == 0 || m_server->serverPort() == m_port)) {
        qCDebug(lcComm) << "ITCPServer is already listening on port " << m_server->serverPort();
        return true;
    }
    m_server->close();
    if (!m_server->listen(QHostAddress::AnyIPv4, quint16(m_port))) {
        m_error = m_server->errorString();
        qCDebug(lcComm).nospace() << m_server->serverError() << ": Starting listener on port: " << m_port
                                  << " - " << m_error;
        return false;
    }
    m_error.clear();
    qCDebug(lcComm) << "ITCPServer has started listening on port " << m_server->serverPort();
    return true;
}

bool ITcpServer::close()
{
    qCDebug(lcComm) << "TCP Server closed cleanly.";
    dropSocket();
    if (m_server) {
        m_server->disconnect(this);
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    return true;
}

void ITcpServer::dropSocket()
{
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

quint32 ITcpServer::send(const QByteArray &data, int, const QString &, quint32)
{
    if (!m_socket)
        return 0;
    const qint64 written = m_socket->write(data);
    return written > 0 ? quint32(written) : 0;
}

bool ITcpServer::waitForBytesWritten(int ms)
{
    return m_socket && m_socket->waitForBytesWritten(ms);
}

void ITcpServer::dump() const
{
    qCDebug(lcComm) << this << name() << "port" << serverPort() << (isListening() ? "listening" : "closed");
}

QString ITcpServer::name() const
{
    return QStringLiteral("TcpServer Interface");
}

void ITcpServer::setPort(int port)
{
    m_port = port;
}

quint16 ITcpServer::serverPort() const
{
    return m_server ? m_server->serverPort() : 0;
}

bool ITcpServer::isListening() const
{
    return m_server && m_server->isListening();
}

void ITcpServer::newConnection()
{
    while (m_server && m_server->hasPendingConnections()) {
        QTcpSocket *socket = m_server->nextPendingConnection();
        if (m_socket) {
            // Two senders at once would interleave their bytes in one file.
            qCDebug(lcComm) << "Refused" << socket->peerAddress().toString()
                            << ": another sender is still sending.";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_socket = socket;
        m_failed = false;
        connect(socket, &QTcpSocket::errorOccurred, this, &ITcpServer::error);
        connect(socket, &QTcpSocket::stateChanged, this, &ITcpServer::stateChanged);
        connect(socket, &QTcpSocket::connected, this, &ITcpServer::connected);
        connect(socket, &QTcpSocket::disconnected, this, &ITcpServer::disconnected);
        connect(socket, &QTcpSocket::readyRead, this, &ITcpServer::readyRead);
        connect(socket, &QTcpSocket::readChannelFinished, this, &ITcpServer::readChannelFinished);
        connect(socket, &QTcpSocket::aboutToClose, this, &ITcpServer::aboutToClose);
        qCDebug(lcComm).nospace() << "newConnection: " << socket->peerAddress().toString() << ":"
                                  << socket->peerPort() << " -> " << socket->localAddress().toString() << ":"
                                  << socket->localPort();
        // Bytes may have come with the connection itself.
        takeAvailable();
    }
}

void ITcpServer::takeAvailable()
{
    if (!m_socket || m_failed)
        return;
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return;
    if (m_verbose)
        qCDebug(lcComm) << "ITcpServer received" << bytes.size() << "bytes";
    if (!m_protocol || !m_protocol->handleReply(bytes))
        failStream(tr("The received bytes could not be stored."));
}

void ITcpServer::failStream(const QString &reason)
{
    if (m_failed)
        return;
    m_failed = true;
    m_error = reason;
    qCDebug(lcComm) << "ITcpServer: the transfer failed:" << reason;
    dropSocket();
    emit receiveFailed(reason);
}

void ITcpServer::readyRead()
{
    takeAvailable();
}

void ITcpServer::readChannelFinished()
{
    qCDebug(lcComm) << "readChannelFinished";
    takeAvailable();
}

void ITcpServer::disconnected()
{
    if (!m_socket)
        return;
    // What the sender wrote last may still be buffered here.
    takeAvailable();
    if (m_failed)
        return;
    dropSocket();
    emit connectionClose();
}

void ITcpServer::error(QAbstractSocket::SocketError err)
{
    // The sender closing is how every transfer ends.
    if (err == QAbstractSocket::RemoteHostClosedError || !m_socket)
        return;
    qCDebug(lcComm) << "error: " << m_socket->errorString();
    failStream(m_socket->errorString());
}

void ITcpServer::serverror(QAbstractSocket::SocketError err)
{
    qCDebug(lcComm) << "serverror" << err;
}

void ITcpServer::stateChanged(QAbstractSocket::SocketState socketState)
{
    qCDebug(lcComm) << QStringLiteral("stateChanged: %1").arg(int(socketState));
}

void ITcpServer::connected()
{
    qCDebug(lcComm) << "connected";
}

void ITcpServer::aboutToClose()
{
    qCDebug(lcComm) << "aboutToClose";
}
