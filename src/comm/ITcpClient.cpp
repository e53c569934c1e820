#include "ITcpClient.h"

#include "KvrLogging.h"
#include "PProtocol.h"

#include <QScopedValueRollback>
#include <QTcpSocket>
#include <QTime>

#if defined(Q_OS_LINUX)
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace {

// TCP keep-alive: the first probe after this many seconds of silence, then
// one a second, and the connection is dropped after three unanswered ones.
constexpr int KeepAliveIdleS = 2;
constexpr int KeepAliveIntervalS = 1;
constexpr int KeepAliveCount = 3;

} // namespace

ITcpClient::ITcpClient(QObject *parent) : IInterface(parent)
{
    m_dispatcher = new ITcpClientThread(&m_records, &m_replies, [this](const QByteArray &bytes, bool awaitsAnswer) {
        return writeForDispatcher(bytes, awaitsAnswer);
    });
    connect(this, &ITcpClient::startMessageProcessing, m_dispatcher,
            &ITcpClientThread::onStartMessageProcessing);
    connect(this, &ITcpClient::quitMessageProcessing, m_dispatcher,
            &ITcpClientThread::onQuitMessageProcessing);
    connect(this, &ITcpClient::replyReady, m_dispatcher, &ITcpClientThread::onReplyReady);
    connect(m_dispatcher, &ITcpClientThread::messageError, this, &ITcpClient::onMessageSendError);
    connect(m_dispatcher, &ITcpClientThread::messageAnswered, this, [this] { m_sendErrors = 0; });
    connect(m_dispatcher, &ITcpClientThread::deadlineReached, this, &ITcpClient::onDeadlineReached);
    connect(m_dispatcher, &ITcpClientThread::setUnanswered, this,
            [this](const ITcpClientThread::Record &set) { mergeSet(m_unanswered, set); });

    m_reconnectTimer.setInterval(ReconnectIntervalMs);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &ITcpClient::retry);
    connect(&m_hostCheck, &IHostCheck::hostUnreachable, this, &ITcpClient::hostUnreachable);
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &ITcpClient::onConnectTimeout);
    connect(&m_framer, &IReplyFramer::quiet, this, &ITcpClient::onTailQuiet);
    connect(&m_linkWatch, &ILinkWatch::probeDue, this, &ITcpClient::sendProbe);
    connect(&m_linkWatch, &ILinkWatch::linkDead, this, &ITcpClient::onLinkDead);

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
    const QScopedValueRollback<bool> switching(m_switching, true);
    if (m_socket)
        close();
    if (QHostAddress(m_host).isNull() || m_port <= 0) {
        qCWarning(lcComm).noquote() << QStringLiteral("Cannot connect to \"%1\" port %2: not an IP address and port.")
                                           .arg(m_host)
                                           .arg(m_port);
        return false;
    }
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &ITcpClient::onConnected);
    connect(m_socket, &QTcpSocket::disconnected, this, &ITcpClient::onDisconnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &ITcpClient::dataReady);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &ITcpClient::error);
    connect(m_socket, &QTcpSocket::stateChanged, this, &ITcpClient::stateChanged);
    m_lastError = -1;
    connectSocket();
    // Connecting does not block: the answer is whether an attempt is under
    // way (or, rarely, already made); how it ends is told by
    // interfaceStateChanged. An attempt that failed at once is tried again
    // by the reconnect timer.
    return m_socket && m_socket->state() != QAbstractSocket::UnconnectedState;
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
    const QScopedValueRollback<bool> switching(m_switching, true);
    if (m_dispatcher->isProcessing())
        emit quitMessageProcessing();
    m_reconnectTimer.stop();
    m_connectTimer.stop();
    m_hostCheck.stop();
    m_framer.clear();
    m_linkWatch.stop();
    // Offline on purpose: what was not sent is not wanted any more.
    m_carried.clear();
    m_unanswered.clear();
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
    enqueue({mode, data, tag.toUtf8(), timeoutMs, QByteArray()});
    return 0;
}

quint32 ITcpClient::sendSet(const QByteArray &data, const QByteArray &parameter, quint32 timeoutMs)
{
    if (!m_socket)
        return 0;
    enqueue({AckExpected, data, QByteArray(), timeoutMs, parameter});
    return 0;
}

void ITcpClient::enqueue(const ITcpClientThread::Record &record)
{
    // A fader dragged towards a slow device would otherwise queue a set
    // every few milliseconds and the device would lag seconds behind the
    // hand: only the newest value of a parameter that waits is kept, in
    // the place of the first.
    if (m_dispatcher->replaceQueuedSet(record))
        return;
    m_records.append(record);
    m_dispatcher->schedule();
}

qint64 ITcpClient::writeForDispatcher(const QByteArray &bytes, bool awaitsAnswer)
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return -1;
    const qint64 written = m_socket->write(bytes);
    if (written > 0 && awaitsAnswer)
        m_linkWatch.noteAwaitedWrite();
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
    m_linkWatch.noteReceived();
    // The device is there: a set it let pass unanswered was its own affair.
    m_unanswered.clear();
    queueReplies(bytes);
}

void ITcpClient::queueReplies(const QByteArray &bytes)
{
    const QList<QByteArray> replies = m_framer.feed(bytes);
    for (const QByteArray &reply : replies)
        m_replies.append(reply);
    if (!replies.isEmpty())
        emit replyReady();
}

void ITcpClient::onTailQuiet()
{
    // Bytes that may be the beginning of the awaited answer are not cut off
    // for a pause in the middle of a line (-1 of -12.5 reads as a value
    // too): they wait for the command's deadline.
    if (m_dispatcher->mayBeginAwaitedReply(m_framer.tail()))
        return;
    flushTail();
    emit replyReady();
}

void ITcpClient::onDeadlineReached()
{
    // A device that does not end its lines has had all the time there is.
    flushTail();
}

void ITcpClient::flushTail()
{
    const QByteArray tail = m_framer.takeTail();
    if (!tail.isEmpty())
        m_replies.append(tail);
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
}

void ITcpClient::resetStreaming()
{
    m_streaming = 0;
    m_streamingSet = 0;
}

void ITcpClient::resynchronize()
{
    if (!m_protocol)
        return;
    resetStreaming();
    if (m_socketState == QAbstractSocket::UnconnectedState)
        m_protocol->setOnline(false);
    else
        m_protocol->resynchronize();
}

void ITcpClient::armHostCheck()
{
    startHostCheck();
}

void ITcpClient::startHostCheck()
{
    // Only a running connection is checked: one that is down is being
    // connected again anyway.
    if (!m_socket || m_state != Running)
        return;
    m_hostCheck.setHost(m_host);
    m_hostCheck.arm();
}

void ITcpClient::reconnect()
{
    if (m_switching)
        return;
    if (!m_socket) {
        open();
        return;
    }
    if (!m_connected && m_socket->state() == QAbstractSocket::UnconnectedState)
        startReconnectTimer();
}

// --- connection state machine ------------------------------------------

void ITcpClient::onConnected()
{
    m_socketState = QAbstractSocket::ConnectedState;
    m_connectTimer.stop();
    tuneSocket();
    step();
}

void ITcpClient::tuneSocket()
{
    // The kernel's own check of a silent peer, for the stretches in which
    // the client itself writes nothing.
    m_socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
#if defined(Q_OS_LINUX)
    const int fd = int(m_socket->socketDescriptor());
    if (fd >= 0) {
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &KeepAliveIdleS, sizeof KeepAliveIdleS);
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &KeepAliveIntervalS, sizeof KeepAliveIntervalS);
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &KeepAliveCount, sizeof KeepAliveCount);
    }
#endif
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
        resetLink();
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
    carryUnconfirmedSets();
    goOffline();
    emit quitMessageProcessing();
}

void ITcpClient::resetLink()
{
    m_state = Resetting;
    m_sendErrors = 0;
    carryUnconfirmedSets();
    emit quitMessageProcessing();
    stepResetting();
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
    m_connectTimer.stop();
    startConnectionState();
    emit interfaceStateChanged(true);
    emit startMessageProcessing();
    emit connectionActive();
    if (m_protocol)
        m_protocol->setOnline(true);
    sendCarriedSets();
}

void ITcpClient::startConnectionState()
{
    // Nothing of the last connection speaks for this one: whether the
    // device streams is asked again, errors, bytes and silence count anew.
    m_sendErrors = 0;
    resetStreaming();
    m_framer.clear();
    m_replies.clear();
    if (m_protocol && !m_protocol->probeCommand().isEmpty())
        m_linkWatch.start();
}

void ITcpClient::goOffline()
{
    const bool wasOnline = m_connected;
    m_connected = false;
    m_sendErrors = 0;
    m_linkWatch.stop();
    m_hostCheck.stop();
    resetStreaming();
    emit interfaceStateChanged(false);
    if (wasOnline && m_protocol)
        m_protocol->setOnline(false);
}

void ITcpClient::carryUnconfirmedSets()
{
    // Sets that went unanswered before the link was found dead were never
    // carried out either; they are older than those still queued.
    const QList<ITcpClientThread::Record> sets = m_unanswered + m_dispatcher->takeUnconfirmedSets();
    m_unanswered.clear();
    for (const ITcpClientThread::Record &set : sets)
        mergeSet(m_carried, set);
}

void ITcpClient::mergeSet(QList<ITcpClientThread::Record> &sets, const ITcpClientThread::Record &set)
{
    const auto same = std::find_if(sets.begin(), sets.end(), [&set](const ITcpClientThread::Record &other) {
        return !set.parameter.isEmpty() && other.parameter == set.parameter;
    });
    if (same != sets.end())
        same->data = set.data;
    else
        sets.append(set);
}

void ITcpClient::sendCarriedSets()
{
    const QList<ITcpClientThread::Record> carried = m_carried;
    m_carried.clear();
    for (const ITcpClientThread::Record &set : carried)
        enqueue(set);
}

void ITcpClient::startReconnectTimer()
{
    if (!m_reconnectTimer.isActive())
        m_reconnectTimer.start();
}

// --- link watch ----------------------------------------------------------

void ITcpClient::onLinkDead(qint64 unansweredMs)
{
    if (m_state != Running)
        return;
    qCWarning(lcComm).noquote() << QStringLiteral("The device at %1 has answered nothing for %2 ms; the "
                                                  "connection is reset.")
                                       .arg(addressText())
                                       .arg(unansweredMs);
    resetLink();
}

void ITcpClient::sendProbe()
{
    const QByteArray probe = m_protocol ? m_protocol->probeCommand() : QByteArray();
    if (m_state != Running || probe.isEmpty())
        return;
    QByteArray tag = probe;
    while (tag.endsWith('\r'))
        tag.chop(1);
    send(probe, ReplyExpected, QString::fromUtf8(tag), ProbeTimeoutMs);
}

// --- host check ----------------------------------------------------------

void ITcpClient::hostUnreachable()
{
    // Writing to a dead connection makes it fail, which the state machine
    // then handles; the probe's answer is awaited like any other.
    if (m_socket && m_protocol && !m_protocol->probeCommand().isEmpty()) {
        if (m_socket->write(m_protocol->probeCommand()) > 0)
            m_linkWatch.noteAwaitedWrite();
    }
}
