#include "SimDevice.h"

#include "SimCommand.h"
#include "SimConnection.h"
#include "SimLog.h"

#include <QTcpSocket>

SimDevice::SimDevice(const SimDeviceInfo &info, const SimFaults &faults, SimLog *log,
                     QObject *parent)
    : QObject(parent), m_info(info), m_faults(faults), m_log(log),
      m_meter(quint32(info.nodeId) * 7919u + quint32(info.port))
{
    m_clock.start();
    connect(&m_server, &QTcpServer::newConnection, this, &SimDevice::onNewConnection);
    connect(&m_phones, &SimPhoneLines::changed, this,
            [this](const QString &key, const QString &status, SimPhoneLine *line) {
                // Lines declared before the device listens start quietly.
                if (m_server.isListening())
                    m_log->write(source(), QStringLiteral("phone line \"%1\": %2").arg(line->blockName(), status));
                store(key, status);
            });
    for (const QString &name : info.pstnLines)
        m_phones.declare(name, SimPhoneLine::Kind::Pstn);
    for (const QString &name : info.voipLines)
        m_phones.declare(name, SimPhoneLine::Kind::Voip);
    // Up for S seconds, away for the pause, up again for S seconds...
    m_restartTimer.setSingleShot(true);
    m_restartTimer.setInterval(m_faults.restartEveryS * 1000);
    connect(&m_restartTimer, &QTimer::timeout, this, &SimDevice::restart);
    m_silentTimer.setSingleShot(true);
    connect(&m_silentTimer, &QTimer::timeout, this, &SimDevice::comeBack);
    m_backTimer.setSingleShot(true);
    m_backTimer.setInterval(SimFaults::RestartPauseMs);
    connect(&m_backTimer, &QTimer::timeout, this, &SimDevice::listenAgain);
}

SimDevice::~SimDevice()
{
    stop();
}

bool SimDevice::listen(const QHostAddress &address, QString *error)
{
    if (!m_server.listen(address, quint16(m_info.port))) {
        *error = QStringLiteral("Device %1 cannot listen on %2:%3: %4")
                     .arg(m_info.displayName(), address.toString())
                     .arg(m_info.port)
                     .arg(m_server.errorString());
        return false;
    }
    m_address = m_server.serverAddress();
    m_port = m_server.serverPort();
    m_log->write(source(), QStringLiteral("%1 listening on %2:%3")
                               .arg(m_info.displayName(), m_address.toString())
                               .arg(m_port));
    if (m_faults.restartEveryS > 0)
        m_restartTimer.start();
    return true;
}

void SimDevice::stop()
{
    m_restartTimer.stop();
    m_silentTimer.stop();
    m_backTimer.stop();
    closeConnections();
    if (m_server.isListening()) {
        m_server.close();
        m_log->write(source(), QStringLiteral("stopped"));
    }
}

void SimDevice::closeConnections()
{
    const QList<SimConnection *> connections = m_connections;
    m_connections.clear();
    for (SimConnection *connection : connections) {
        connection->close();
        delete connection;
    }
}

int SimDevice::delayedCount() const
{
    int count = 0;
    for (const SimConnection *connection : m_connections)
        count += connection->delayedCount();
    return count;
}

void SimDevice::restart()
{
    // Like a power cycle: every connection goes, and for a moment nothing
    // listens. The parameters survive, as a device keeps them.
    m_log->write(source(), QStringLiteral("restarting (fault)"));
    closeConnections();
    m_server.close();
    m_backTimer.start();
}

bool SimDevice::listenAgain()
{
    if (m_server.isListening())
        return true;
    if (!m_server.listen(m_address, m_port)) {
        // The port may be held for a moment; the next restart tries again.
        m_log->write(source(), QStringLiteral("cannot listen again: %1").arg(m_server.errorString()));
        m_backTimer.start();
        return false;
    }
    m_log->write(source(), QStringLiteral("listening again"));
    if (m_faults.restartEveryS > 0)
        m_restartTimer.start();
    return true;
}

void SimDevice::goSilent(int ms)
{
    m_log->write(source(), QStringLiteral("silent for %1 ms").arg(ms));
    for (SimConnection *connection : qAsConst(m_connections))
        connection->setSilent(true);
    m_server.close();
    m_backTimer.stop();
    m_silentTimer.start(ms);
}

void SimDevice::comeBack()
{
    for (SimConnection *connection : qAsConst(m_connections))
        connection->setSilent(false);
    listenAgain();
}

bool SimDevice::setParameter(const QString &query, const QString &value, QString *error)
{
    const SimCommand command = SimCommand::parse(query);
    if (command.kind() != SimCommand::Kind::Query) {
        *error = QStringLiteral("\"%1\" is no query of a value.").arg(query);
        return false;
    }
    m_log->write(source(), QStringLiteral("set from outside: %1 = %2").arg(command.key(), value));
    store(command.key(), value);
    return true;
}

QString SimDevice::parameter(const QString &query) const
{
    const SimCommand command = SimCommand::parse(query);
    return command.kind() == SimCommand::Kind::Query ? valueOf(command.key()) : QString();
}

QString SimDevice::source(int connectionId) const
{
    const QString device = QStringLiteral("%1:%2").arg(m_info.nodeId).arg(port());
    return connectionId > 0 ? QStringLiteral("[%1 #%2]").arg(device).arg(connectionId)
                            : QStringLiteral("[%1]").arg(device);
}

void SimDevice::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        const int id = m_nextConnectionId++;
        if (m_faults.refuse) {
            m_log->write(source(id), QStringLiteral("connection from %1 refused (fault)")
                                         .arg(socket->peerAddress().toString()));
            socket->disconnectFromHost();
            socket->deleteLater();
            continue;
        }
        auto *connection = new SimConnection(socket, this, id, m_faults, m_log);
        connect(connection, &SimConnection::finished, this, &SimDevice::onConnectionFinished);
        m_connections.append(connection);
    }
}

void SimDevice::onConnectionFinished(SimConnection *connection)
{
    m_connections.removeOne(connection);
    connection->deleteLater();
}

QString SimDevice::valueOf(const QString &key) const
{
    const auto it = m_values.constFind(key);
    return it != m_values.constEnd() ? it.value() : SimCommand::defaultValue(key);
}

void SimDevice::store(const QString &key, const QString &value)
{
    if (valueOf(key) == value)
        return;
    m_values.insert(key, value);
    for (SimConnection *connection : qAsConst(m_connections))
        connection->notifyChanged(key, value);
}

void SimDevice::subscribe(SimConnection *from, const SimCommand &command)
{
    const SimCommand query = SimCommand::parse(command.subject());
    const bool accepted = !m_faults.noSubscribe
                          && (query.kind() == SimCommand::Kind::Query
                              || query.kind() == SimCommand::Kind::LevelQuery);
    if (accepted)
        from->subscribe(query);
    from->queueLine(command.text() + (accepted ? QLatin1String(",yes") : QLatin1String(",no")));
}

bool SimDevice::executePhone(SimConnection *from, const SimCommand &command)
{
    SimPhoneLine *line = m_phones.lineForSet(command);
    if (!line)
        return false;
    if (!SimPhoneLine::isCommand(command.value())) {
        m_log->write(from->source(), QStringLiteral("no command of a phone line"));
        from->queueNak();
        return true;
    }
    from->queueAck();
    line->command(command.value());
    return true;
}

void SimDevice::execute(SimConnection *from, const SimCommand &command)
{
    if (executePhone(from, command))
        return;
    switch (command.kind()) {
    case SimCommand::Kind::Invalid:
        m_log->write(from->source(), QStringLiteral("command not understood"));
        from->queueNak();
        break;
    case SimCommand::Kind::Query:
        from->queueLine(command.reply(valueOf(command.key())));
        break;
    case SimCommand::Kind::Set:
        // The acknowledge goes before the pushes that the change causes, so
        // that a subscribed sender sees its ACK first.
        from->queueAck();
        store(command.key(), command.value());
        break;
    case SimCommand::Kind::LevelQuery:
        from->queueLine(m_meter.report(command.slotText(), command.slot(),
                                       m_info.levelEntryCount(command.slot()),
                                       m_clock.elapsed(), ++m_reportSequence));
        break;
    case SimCommand::Kind::Handshake:
        from->queueLine(m_faults.noSubscribe ? QStringLiteral("SUB,no") : QStringLiteral("SUB,yes"));
        break;
    case SimCommand::Kind::Subscribe:
        subscribe(from, command);
        break;
    case SimCommand::Kind::Unsubscribe:
        from->unsubscribe(command.subject());
        from->queueLine(command.text() + QLatin1String(",yes"));
        break;
    }
}
