#include "ITcpClient.h"

#include "KvrLogging.h"
#include "PProtocol.h"

#include <QTcpSocket>
#include <QTime>

namespace {

constexpr char Ack = 0x06;
constexpr char Nak = 0x15;
// A device that never ends its lines must not make the client hoard bytes.
constexpr int MaxTailBytes = 65536;

bool onlyAcknowledgeBytes(const QByteArray &bytes)
{
    for (const char c : bytes) {
        if (c != Ack && c != Nak)
            return false;
    }
    return true;
}

} // namespace

ITcpClient::ITcpClient(QObject *parent) : IInterface(parent)
{
    m_dispatcher = new ITcpClientThread(&m_records, &m_replies,
                                        [this](const QByteArray &bytes) { return writeForDispatcher(bytes); });
    connect(this, &ITcpClient::startMessageProcessing, m_dispatcher,
            &ITcpClientThread::onStartMessageProcessing);
    connect(this, &ITcpClient::quitMessageProcessing, m_dispatcher,
            &ITcpClientThread::onQuitMessageProcessing);
    connect(this, &ITcpClient::replyReady, m_dispatcher, &ITcpClientThread::onReplyReady);
    connect(m_dispatcher, &ITcpClientThread::messageError, this, &ITcpClient::onMessageSendError);
    connect(m_dispatcher, &ITcpClientThread::messageAnswered, this, [this] { m_sendErrors = 0; });

    m_reconnectTimer.setInterval(ReconnectIntervalMs);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &ITcpClient::retry);
    connect(&m_hostCheck, &IHostCheck::hostUnreachable, this, &ITcpClient::hostUnreachable);
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &ITcpClient::onConnectTimeout);
    m_tailTimer.setSingleShot(true);
    m_tailTimer.setInterval(TailFlushMs);
    connect(&m_tailTimer, &QTimer::timeout, this, &ITcpClient::flushTail);

    m_dispatcher->start();
}

ITcpClient::~ITcpClient()
{
    close();
    m_dispatcher->quit();
    m_dispatcher->wait(3000);
    delete m_dispatcher;
}

bool ITcpClient::open()
{
    if (m_socket)
        close();
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &ITcpClient::onConnected);
    connect(m_socket, &QTcpSocket::disconnected, this, &ITcpClient::onDisconnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &ITcpClient::dataReady);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &ITcpClient::error);
    connect(m_socket, &QTcpSocket::stateChanged, this, &ITcpClient::stateChanged);
    m_lastError = -1;
    connectSocket();
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void ITcpClient::connectSocket()
{
    // Connecting never blocks: the result arrives through the socket's
    // signals, and an attempt that takes too long is cut by the connect
    // timer and tried again by the reconnect timer.
    m_connectTimer.start(m_connectTimeoutMs);
    m_socket->connectToHost(m_host, quint16(m_port), QIODevice::ReadWrite);
}

bool ITcpClient::close()
{
    if (m_dispatcher->isProcessing())
        emit quitMessageProcessing();
    m_reconnectTimer.stop();
    m_connectTimer.stop();
    m_hostCheck.stop();
    m_tailTimer.stop();
    m_tail.clear();
    if (!m_socket)
        return false;

    // The socket says goodbye on its own and is cut after a short grace; the
    // client no longer follows it, so closing never waits.
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->disconnectFromHost();
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
    } else {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(CloseGraceMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
    }
    m_socketState = QAbstractSocket::UnconnectedState;
    m_lastError = -1;
    m_state = Idle;
    goOffline();
    emit connectionClose();
    return true;
}

void ITcpClient::ensureOpen()
{
    if (!m_socket)
        open();
}

void ITcpClient::shutdown()
{
    close();
}

quint32 ITcpClient::send(const QByteArray &data, int mode, const QString &tag, quint32 timeoutMs)
{
    if (!m_socket)
        return 0;
    if (mode == Immediate) {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            return 0;
        const qint64 written = m_socket->write(data);
        startHostCheck();
        return written > 0 ? quint32(written) : 0;
    }
    // A query that is already on its way need not go twice.
    if (mode == ReplyExpected && m_dispatcher->isPending(data))
        return 0;
    m_records.append({mode, data, tag.toUtf8(), timeoutMs});
    m_dispatcher->schedule();
    return 0;
}

qint64 ITcpClient::writeForDispatcher(const QByteArray &bytes)
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return -1;
    const qint64 written = m_socket->write(bytes);
    startHostCheck();
    return written;
}

void ITcpClient::dataReady()
{
    if (!m_socket)
        return;
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return;
    m_hostCheck.disarm();
    queueReplies(bytes);
}

void ITcpClient::queueReplies(const QByteArray &bytes)
{
    // Replies end with CR, and several replies in one write are separated
    // by ";". A reply may arrive in pieces: the unterminated tail waits for
    // the next read, or for a short silence.
    m_tail += bytes;
    int start = 0;
    bool queued = false;
    for (int i = 0; i < m_tail.size(); ++i) {
        const char c = m_tail.at(i);
        if (c != '\r' && c != ';')
            continue;
        if (i > start) {
            m_replies.append(m_tail.mid(start, i - start));
            queued = true;
        }
        start = i + 1;
    }
    m_tail.remove(0, start);
    // ACK and NAK come without a line end: they are complete as they are.
    if ((!m_tail.isEmpty() && onlyAcknowledgeBytes(m_tail)) || m_tail.size() > MaxTailBytes) {
        m_replies.append(m_tail);
        m_tail.clear();
        queued = true;
    }
    if (m_tail.isEmpty())
        m_tailTimer.stop();
    else
        m_tailTimer.start();
    if (queued)
        emit replyReady();
}

void ITcpClient::flushTail()
{
    if (m_tail.isEmpty())
        return;
    m_replies.append(m_tail);
    m_tail.clear();
    emit replyReady();
}

QString ITcpClient::stateText(int state)
{
    switch (state) {
    case Idle:
        return tr(" - Offline - Idle");
    case Connecting:
        return tr(" - Offline - Connecting");
    case Running:
        return tr(" - Online - Running");
    case Reconnecting:
        return tr(" - Offline - Reconnecting");
    case Resetting:
        return tr(" - Offline - Resetting");
    default:
        return tr(" - Unknown State");
    }
}

QString ITcpClient::statusText() const
{
    return stateText(m_state);
}

void ITcpClient::dump() const
{
    qCDebug(lcComm) << this << name() << addressText() << m_port << protocol()
                    << (m_connected ? "true" : "false");
}

QString ITcpClient::name() const
{
    return QStringLiteral("TcpClient Interface");
}

QString ITcpClient::addressText() const
{
    return m_host;
}

void ITcpClient::setAddress(const QString &address)
{
    m_host = address.trimmed();
}

void ITcpClient::setPort(int port)
{
    m_port = port >= 0 && port <= 65535 ? port : 0;
}

int ITcpClient::connectionState() const
{
    return m_state;
}

void ITcpClient::setProtocol(PProtocol *protocol)
{
    IInterface::setProtocol(protocol);
    m_dispatcher->setProtocol(protocol);
}

bool ITcpClient::isStreamingSet() const
{
    return m_streamingSet != 0;
}

quint8 ITcpClient::streaming() const
{
    return m_streamingSet ? m_streaming : 0;
}

void ITcpClient::setStreaming(quint8 streaming)
{
    m_streaming = streaming;
    m_streamingSet = 1;
    m_dispatcher->setStreaming(streaming != 0);
}

void ITcpClient::resetStreaming()
{
    m_streaming = 0;
    m_streamingSet = 0;
    m_dispatcher->setStreaming(false);
}

void ITcpClient::resynchronize()
{
    if (!m_protocol)
        return;
    m_streamingSet = 0;
    if (m_socketState == QAbstractSocket::UnconnectedState)
        m_protocol->setOnline(false);
    else
        m_protocol->resynchronize();
}

void ITcpClient::armHostCheck()
{
    if (m_socket)
        startHostCheck();
}

void ITcpClient::startHostCheck()
{
    m_hostCheck.setHost(m_host);
    m_hostCheck.arm();
}

// --- connection state machine ------------------------------------------

void ITcpClient::onConnected()
{
    m_socketState = QAbstractSocket::ConnectedState;
    m_connectTimer.stop();
    step();
}

void ITcpClient::onDisconnected()
{
    m_socketState = QAbstractSocket::UnconnectedState;
    step();
}

void ITcpClient::error(QAbstractSocket::SocketError socketError)
{
    qCWarning(lcComm).noquote() << "Socket error" << socketError << addressText()
                                << QTime::currentTime().toString(QStringLiteral("mm:ss.z"));
    m_lastError = socketError;
    step();
}

void ITcpClient::stateChanged(QAbstractSocket::SocketState socketState)
{
    m_socketState = socketState;
    m_lastError = -1;
    step();
    if (socketState == QAbstractSocket::UnconnectedState && m_socket)
        startReconnectTimer();
}

void ITcpClient::retry()
{
    if (!m_socket || m_connected) {
        m_reconnectTimer.stop();
        return;
    }
    // An attempt still under way is left to the connect timer.
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        return;
    m_lastError = -1;
    connectSocket();
}

void ITcpClient::onConnectTimeout()
{
    if (!m_socket || m_socket->state() == QAbstractSocket::ConnectedState)
        return;
    qCDebug(lcComm) << "Connecting to" << addressText() << "timed out after" << m_connectTimeoutMs << "ms";
    m_socket->abort();
    if (m_socketState != QAbstractSocket::UnconnectedState)
        stateChanged(QAbstractSocket::UnconnectedState);
}

void ITcpClient::onMessageSendError(const QByteArray &)
{
    ++m_sendErrors;
    // A device that stays connected but answers nothing raises no socket
    // event, so the count itself must move the state machine.
    if (m_state == Running && m_sendErrors >= MaxSendErrors)
        step();
}

void ITcpClient::step()
{
    const bool connected = m_socketState == QAbstractSocket::ConnectedState;
    switch (m_state) {
    case Idle:
        if (m_socketState == QAbstractSocket::HostLookupState
            || m_socketState == QAbstractSocket::ConnectingState)
            m_state = Connecting;
        break;
    case Connecting:
        if (connected) {
            enterRunning();
        } else if (m_socketState == QAbstractSocket::UnconnectedState) {
            m_state = Reconnecting;
            startReconnectTimer();
            goOffline();
        }
        break;
    case Running:
        stepRunning();
        break;
    case Reconnecting:
        if (connected) {
            startHostCheck();
            m_reconnectTimer.stop();
            enterRunning();
        } else if (!m_socket) {
            m_state = Idle;
        }
        break;
    case Resetting:
        stepResetting();
        break;
    }
}

void ITcpClient::stepRunning()
{
    if (m_sendErrors >= MaxSendErrors) {
        m_state = Resetting;
        m_sendErrors = 0;
        emit quitMessageProcessing();
        stepResetting();
        return;
    }
    if (m_lastError == QAbstractSocket::RemoteHostClosedError) {
        m_state = Reconnecting;
        startReconnectTimer();
    } else if (m_socketState != QAbstractSocket::UnconnectedState) {
        return;
    } else {
        m_state = Idle;
    }
    goOffline();
    emit quitMessageProcessing();
}

void ITcpClient::stepResetting()
{
    // Whatever the socket last reported, a reset cuts the connection and
    // connects afresh.
    qCDebug(lcComm) << "Resetting the connection to" << addressText();
    m_state = Reconnecting;
    m_lastError = -1;
    if (m_socket && m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
    startReconnectTimer();
    goOffline();
}

void ITcpClient::enterRunning()
{
    m_state = Running;
    m_connected = true;
    m_sendErrors = 0;
    m_connectTimer.stop();
    emit interfaceStateChanged(true);
    emit startMessageProcessing();
    emit connectionActive();
    if (m_protocol)
        m_protocol->setOnline(true);
}

void ITcpClient::goOffline()
{
    const bool wasOnline = m_connected;
    m_connected = false;
    m_sendErrors = 0;
    emit interfaceStateChanged(false);
    if (wasOnline) {
        resetStreaming();
        if (m_protocol)
            m_protocol->setOnline(false);
    }
}

void ITcpClient::startReconnectTimer()
{
    if (!m_reconnectTimer.isActive())
        m_reconnectTimer.start();
}

// --- host check ----------------------------------------------------------

void ITcpClient::hostUnreachable()
{
    // Writing to a dead connection makes it fail, which the state machine
    // then handles.
    if (m_socket)
        send(QByteArrayLiteral("SUB\r"), Immediate, QStringLiteral("SUB"), 200);
}
