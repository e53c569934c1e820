#include "ITcpSender.h"

#include "KvrLogging.h"

#include <QTcpSocket>

ITcpSender::ITcpSender(QObject *parent) : IInterface(parent)
{
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &ITcpSender::onConnectTimeout);
}

ITcpSender::~ITcpSender()
{
    dropSocket();
}

bool ITcpSender::open()
{
    dropSocket();
    m_connected = false;
    m_closing = false;
    m_error.clear();
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &ITcpSender::onConnected);
    connect(m_socket, &QTcpSocket::disconnected, this, &ITcpSender::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &ITcpSender::onError);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &ITcpSender::bytesWritten);
    m_connectTimer.start(m_connectTimeoutMs);
    m_socket->connectToHost(m_host, quint16(m_port));
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool ITcpSender::close()
{
    m_connectTimer.stop();
    if (!m_socket)
        return false;
    if (!m_connected) {
        dropSocket();
        return true;
    }
    // The socket writes what it holds, then closes; disconnected() tells
    // whether all of it went.
    m_closing = true;
    m_socket->disconnectFromHost();
    return true;
}

void ITcpSender::abort()
{
    m_connectTimer.stop();
    m_connected = false;
    m_closing = false;
    dropSocket();
}

void ITcpSender::dropSocket(bool now)
{
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    // Inside the socket's own signals Qt still works on it: it goes when
    // control is back in the event loop.
    if (now)
        socket->abort();
    socket->deleteLater();
}

quint32 ITcpSender::send(const QByteArray &data, int, const QString &, quint32)
{
    if (!m_socket || !m_connected || m_closing)
        return 0;
    const qint64 written = m_socket->write(data);
    return written > 0 ? quint32(written) : 0;
}

bool ITcpSender::waitForBytesWritten(int ms)
{
    return m_socket && m_socket->waitForBytesWritten(ms);
}

qint64 ITcpSender::bytesToWrite() const
{
    return m_socket ? m_socket->bytesToWrite() : 0;
}

void ITcpSender::dump() const
{
    qCDebug(lcComm) << this << name() << m_host << m_port << (m_connected ? "true" : "false");
}

QString ITcpSender::name() const
{
    return QStringLiteral("TcpSender Interface");
}

QString ITcpSender::addressText() const
{
    return m_host;
}

void ITcpSender::setAddress(const QString &address)
{
    m_host = address;
}

void ITcpSender::setPort(int port)
{
    m_port = port;
}

void ITcpSender::onConnected()
{
    m_connectTimer.stop();
    m_connected = true;
    emit interfaceStateChanged(true);
}

void ITcpSender::onConnectTimeout()
{
    fail(tr("No answer within %1 ms.").arg(m_connectTimeoutMs));
}

bool ITcpSender::closedCleanly() const
{
    // The peer may close as soon as it has seen the end of the stream; that
    // is no error once nothing is left to write.
    const auto error = m_socket->error();
    return m_closing && m_socket->bytesToWrite() == 0
           && (error == QAbstractSocket::UnknownSocketError || error == QAbstractSocket::RemoteHostClosedError);
}

void ITcpSender::onDisconnected()
{
    if (!m_socket)
        return;
    if (!closedCleanly()) {
        fail(m_error.isEmpty() ? tr("The device closed the connection.") : m_error);
        return;
    }
    m_connected = false;
    m_closing = false;
    dropSocket(false);
    emit connectionClose();
}

void ITcpSender::onError()
{
    if (!m_socket)
        return;
    m_error = m_socket->errorString();
    qCDebug(lcComm) << "ITcpSender: socket error" << m_socket->error() << m_error;
    // A closing peer is followed by disconnected(), which decides; any
    // other error ends the stream here.
    if (m_connected && m_socket->error() == QAbstractSocket::RemoteHostClosedError
        && m_socket->state() != QAbstractSocket::UnconnectedState)
        return;
    if (m_connected && m_socket->error() == QAbstractSocket::RemoteHostClosedError) {
        onDisconnected();
        return;
    }
    fail(m_error);
}

void ITcpSender::fail(const QString &reason)
{
    m_connectTimer.stop();
    if (!m_socket)
        return;
    m_error = reason;
    m_connected = false;
    m_closing = false;
    dropSocket(false);
    qCDebug(lcComm) << "ITcpSender:" << reason;
    emit interfaceStateChanged(false);
}
