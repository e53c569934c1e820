#include "SimConnection.h"

#include "SimDevice.h"
#include "SimLog.h"

#include <QTcpSocket>

SimConnection::SimConnection(QTcpSocket *socket, SimDevice *device, int id,
                             const SimFaults &faults, SimLog *log)
    : QObject(device), m_socket(socket), m_device(device), m_id(id), m_faults(faults), m_log(log)
{
    m_socket->setParent(this);
    m_delayTimer.setSingleShot(true);
    m_clock.start();
    connect(m_socket, &QTcpSocket::readyRead, this, &SimConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &SimConnection::onDisconnected);
    connect(&m_delayTimer, &QTimer::timeout, this, &SimConnection::onDelayTimeout);
    m_splitTimer.setSingleShot(true);
    connect(&m_splitTimer, &QTimer::timeout, this, &SimConnection::onSplitTimeout);
    m_log->write(source(), QStringLiteral("connected from %1:%2")
                               .arg(m_socket->peerAddress().toString())
                               .arg(m_socket->peerPort()));
}

SimConnection::~SimConnection()
{
    m_socket->disconnect(this);
}

QString SimConnection::source() const
{
    return m_device->source(m_id);
}

void SimConnection::queueAck()
{
    queue(QByteArray(1, Ack));
}

void SimConnection::queueNak()
{
    queue(QByteArray(1, Nak));
}

void SimConnection::queueLine(const QString &line)
{
    queue(line.toUtf8() + '\r');
}

void SimConnection::subscribe(const SimCommand &query)
{
    for (const SimCommand &existing : qAsConst(m_subscriptions)) {
        if (existing.text() == query.text())
            return;
    }
    m_subscriptions.append(query);
}

void SimConnection::unsubscribe(const QString &queryText)
{
    // Room-combine subscriptions are known to the client under the query
    // followed by ",", and that is what it names when it unsubscribes.
    QString text = queryText;
    if (text.endsWith(QLatin1Char(',')))
        text.chop(1);
    for (int i = m_subscriptions.size() - 1; i >= 0; --i) {
        if (m_subscriptions.at(i).text() == text)
            m_subscriptions.removeAt(i);
    }
}

void SimConnection::notifyChanged(const QString &key, const QString &value)
{
    for (const SimCommand &query : qAsConst(m_subscriptions)) {
        if (query.key() == key)
            queueLine(query.reply(value));
    }
}

void SimConnection::setSilent(bool silent)
{
    if (m_silent == silent)
        return;
    m_silent = silent;
    // What was answered before still leaves; nothing more is answered.
    m_log->write(source(), silent ? QStringLiteral("silent from now on (fault)")
                                  : QStringLiteral("answering again"));
}

void SimConnection::stall()
{
    // Qt stops taking bytes from the system once its buffer is full: the
    // client's writes pile up in the kernel, as with a device whose
    // firmware hangs.
    m_stalled = true;
    m_socket->setReadBufferSize(1);
    m_log->write(source(), QStringLiteral("no longer reading (fault)"));
}

void SimConnection::close()
{
    m_delayTimer.stop();
    for (const Delayed &delayed : qAsConst(m_delayed))
        send(delayed.bytes);
    m_delayed.clear();
    m_splitTimer.stop();
    m_splitBacklog.prepend(m_splitRest);
    m_splitRest.clear();
    for (const QByteArray &bytes : qAsConst(m_splitBacklog))
        write(bytes);
    m_splitBacklog.clear();
    m_socket->disconnect(this);
    m_socket->flush();
    m_socket->disconnectFromHost();
}

void SimConnection::onReadyRead()
{
    if (m_stalled)
        return;
    m_input += m_socket->readAll();
    m_processing = true;
    // Commands end with CR; a line feed is taken as a line end too, so that
    // a person can talk to the simulator with a terminal program.
    while (!m_closing && !m_stalled) {
        int end = -1;
        for (int i = 0; i < m_input.size(); ++i) {
            if (m_input.at(i) == '\r' || m_input.at(i) == '\n') {
                end = i;
                break;
            }
        }
        if (end < 0)
            break;
        const QByteArray line = m_input.left(end);
        if (!m_discarding && !line.isEmpty())
            emit m_device->commandReceived(m_id, m_input.left(end + 1));
        m_input.remove(0, end + 1);
        if (m_discarding) {
            m_discarding = false;
            continue;
        }
        if (!line.isEmpty())
            handleLine(line);
    }
    if (m_closing) {
        m_input.clear();
    } else if (m_input.size() > MaxCommandBytes) {
        m_log->write(source(), QStringLiteral("command longer than %1 bytes discarded").arg(MaxCommandBytes));
        m_input.clear();
        m_discarding = true;
        queueNak();
    }
    m_processing = false;
    flush();
    closeWhenDone();
}

void SimConnection::handleLine(const QByteArray &line)
{
    ++m_commandCount;
    m_log->write(source(), QLatin1String("< ") + SimLog::printable(line));
    if (m_faults.silentAfter > 0 && m_commandCount > m_faults.silentAfter)
        setSilent(true);
    if (m_silent) {
        // Read and forgotten.
    } else if (isDue(m_faults.dropEvery, m_commandCount)) {
        m_log->write(source(), QStringLiteral("command %1 dropped (fault)").arg(m_commandCount));
    } else if (isDue(m_faults.nakEvery, m_commandCount)) {
        m_log->write(source(), QStringLiteral("command %1 refused with NAK (fault)").arg(m_commandCount));
        queueNak();
    } else {
        m_device->execute(this, SimCommand::parse(QString::fromUtf8(line)));
    }
    if (m_faults.closeAfter > 0 && m_commandCount >= m_faults.closeAfter) {
        m_log->write(source(), QStringLiteral("closing after %1 commands (fault)").arg(m_commandCount));
        m_closing = true;
    }
    if (m_faults.stallAfter > 0 && m_commandCount == m_faults.stallAfter)
        stall();
}

void SimConnection::queue(const QByteArray &bytes)
{
    if (m_silent)
        return;
    m_batch.append(bytes);
    // A push caused by another connection leaves at once; answers to this
    // connection's own commands wait for the end of the pass.
    if (!m_processing)
        flush();
}

void SimConnection::flush()
{
    if (m_batch.isEmpty())
        return;
    const QByteArray bytes = m_batch.join(';');
    m_batch.clear();
    if (m_faults.delayMs <= 0 && m_delayed.isEmpty()) {
        send(bytes);
        return;
    }
    m_delayed.append({m_clock.elapsed() + m_faults.delayMs, bytes});
    if (!m_delayTimer.isActive())
        m_delayTimer.start(m_faults.delayMs);
}

void SimConnection::onDelayTimeout()
{
    const qint64 now = m_clock.elapsed();
    while (!m_delayed.isEmpty() && m_delayed.first().due <= now)
        send(m_delayed.takeFirst().bytes);
    if (!m_delayed.isEmpty())
        m_delayTimer.start(int(qMax<qint64>(0, m_delayed.first().due - now)));
    closeWhenDone();
}

void SimConnection::send(const QByteArray &bytes)
{
    // Pushes may still arrive for a connection that is closing.
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_log->write(source(), QLatin1String("> ") + SimLog::printable(bytes));
    if (!m_faults.splitReplies) {
        write(bytes);
        return;
    }
    if (m_splitTimer.isActive())
        m_splitBacklog.append(bytes);
    else
        writeSplit(bytes);
}

void SimConnection::writeSplit(const QByteArray &bytes)
{
    if (bytes.size() <= SimFaults::SplitTailBytes) {
        write(bytes);
        return;
    }
    write(bytes.left(bytes.size() - SimFaults::SplitTailBytes));
    m_splitRest = bytes.right(SimFaults::SplitTailBytes);
    m_splitTimer.start(SimFaults::SplitGapMs);
}

void SimConnection::onSplitTimeout()
{
    write(m_splitRest);
    m_splitRest.clear();
    while (!m_splitBacklog.isEmpty() && !m_splitTimer.isActive())
        writeSplit(m_splitBacklog.takeFirst());
    closeWhenDone();
}

void SimConnection::write(const QByteArray &bytes)
{
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->write(bytes);
}

void SimConnection::closeWhenDone()
{
    if (m_closing && m_delayed.isEmpty() && !m_splitTimer.isActive()
        && m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->disconnectFromHost();
}

void SimConnection::onDisconnected()
{
    m_log->write(source(), QStringLiteral("closed after %1 commands").arg(m_commandCount));
    m_delayTimer.stop();
    emit finished(this);
}
