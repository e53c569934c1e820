#pragma once

#include "SimDeviceInfo.h"
#include "SimFaults.h"
#include "SimLevelMeter.h"
#include "SimPhoneLines.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

class SimCommand;
class SimConnection;
class SimLog;

// One simulated device: it listens on its port, keeps a value for every
// parameter that its clients address (shared by all its connections),
// answers their commands, pushes changed values to their subscriptions and
// reports moving levels for its card slots.
class SimDevice : public QObject
{
    Q_OBJECT
public:
    SimDevice(const SimDeviceInfo &info, const SimFaults &faults, SimLog *log,
              QObject *parent = nullptr);
    ~SimDevice() override;

    // Listens on address and the info's port (0: any free port); false with
    // a message in error when the port cannot be had.
    bool listen(const QHostAddress &address, QString *error);
    // Closes every connection and stops listening.
    void stop();

    const SimDeviceInfo &info() const { return m_info; }
    // Where it listens (kept after it stopped, for the log).
    quint16 port() const { return m_port; }
    QHostAddress address() const { return m_address; }
    int connectionCount() const { return int(m_connections.size()); }
    // Answers and pushes that wait for their delay, on all connections.
    int delayedCount() const;

    // The log's name of the device, or of one of its connections.
    QString source(int connectionId = 0) const;

    // Carries out a command of a connection and queues its answer there.
    void execute(SimConnection *from, const SimCommand &command);

    // The device's telephone lines.
    SimPhoneLines &phoneLines() { return m_phones; }

    // Changes the value that query reads, as a person at the device would:
    // subscribed connections get the new value pushed. False with a message
    // in error when query is no query.
    bool setParameter(const QString &query, const QString &value, QString *error);
    // The value that query reads now (null when query is no query).
    QString parameter(const QString &query) const;
    // For ms milliseconds the device answers nothing on the connections it
    // has and takes no new ones, then it is back with its values.
    void goSilent(int ms);
    bool isSilent() const { return m_silentTimer.isActive(); }

signals:
    // A command line as it arrived, with its terminator, before it is
    // carried out: what a client really sent, for tests and benchmarks.
    void commandReceived(int connectionId, const QByteArray &bytes);

private slots:
    void onNewConnection();
    void onConnectionFinished(SimConnection *connection);
    void restart();
    void comeBack();

private:
    QString valueOf(const QString &key) const;
    void store(const QString &key, const QString &value);
    void subscribe(SimConnection *from, const SimCommand &command);
    bool executePhone(SimConnection *from, const SimCommand &command);
    void closeConnections();
    bool listenAgain();

    SimDeviceInfo m_info;
    SimFaults m_faults;
    SimLog *m_log;
    QTcpServer m_server;
    QHostAddress m_address;
    quint16 m_port = 0;
    QList<SimConnection *> m_connections;
    QHash<QString, QString> m_values;
    SimLevelMeter m_meter;
    SimPhoneLines m_phones;
    QElapsedTimer m_clock;
    quint64 m_reportSequence = 0;
    int m_nextConnectionId = 1;
    QTimer m_restartTimer;
    QTimer m_silentTimer;
    QTimer m_backTimer;
};
