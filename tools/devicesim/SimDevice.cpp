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
    return true;
}

void SimDevice::stop()
{
    const QList<SimConnection *> connections = m_connections;
    m_connections.clear();
    for (SimConnection *connection : connections) {
        connection->close();
        delete connection;
    }
    if (m_server.isListening()) {
        m_server.close();
        m_log->write(source(), QStringLiteral("stopped"));
    }
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
