#pragma once

#include "SimCommand.h"
#include "SimFaults.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

class QTcpSocket;
class SimDevice;
class SimLog;

// One client connection of a simulated device. It cuts the incoming bytes
// into command lines, applies the connection's faults, hands each command to
// its device, and writes the answers: the answers that one pass over the
// received bytes produces leave together, joined by ";", after the
// configured delay. It also keeps the connection's subscriptions and pushes
// a subscribed value when the device reports that it changed.
class SimConnection : public QObject
{
    Q_OBJECT
public:
    // Longest command kept while waiting for its line end; anything longer
    // is answered with NAK and discarded up to the next line end.
    static constexpr int MaxCommandBytes = 16384;
    static constexpr char Ack = 0x06;
    static constexpr char Nak = 0x15;

    // Takes over the socket.
    SimConnection(QTcpSocket *socket, SimDevice *device, int id, const SimFaults &faults,
                  SimLog *log);
    ~SimConnection() override;

    int id() const { return m_id; }
    QString source() const;

    // Answers, queued while the device executes a command of this connection.
    void queueAck();
    void queueNak();
    void queueLine(const QString &line);

    void subscribe(const SimCommand &query);
    void unsubscribe(const QString &queryText);
    // The device's value under key changed: every subscription to it gets
    // the new value in the form of its query's answer.
    void notifyChanged(const QString &key, const QString &value);

    // Sends what is ready and closes; used when the simulator stops.
    void close();
    // A silent connection reads commands and does nothing with them: no
    // answer, no effect, no push (a device that hangs, or that lost power
    // behind a switch that keeps the link up).
    void setSilent(bool silent);
    bool isSilent() const { return m_silent; }
    // Writes held back by --delay.
    int delayedCount() const { return int(m_delayed.size()); }

signals:
    void finished(SimConnection *connection);

private slots:
    void onReadyRead();
    void onDisconnected();
    void onDelayTimeout();
    void onSplitTimeout();

private:
    void handleLine(const QByteArray &line);
    void queue(const QByteArray &bytes);
    void flush();
    void send(const QByteArray &bytes);
    void write(const QByteArray &bytes);
    // Writes all but the last bytes now and holds those back for a while.
    void writeSplit(const QByteArray &bytes);
    void stall();
    void closeWhenDone();
    static bool isDue(int every, int count) { return every > 0 && count % every == 0; }

    struct Delayed
    {
        qint64 due;
        QByteArray bytes;
    };

    QTcpSocket *m_socket;
    SimDevice *m_device;
    int m_id;
    SimFaults m_faults;
    SimLog *m_log;
    QByteArray m_input;
    bool m_discarding = false; // inside an over-long command
    int m_commandCount = 0;
    bool m_processing = false;
    bool m_closing = false;
    QList<QByteArray> m_batch;
    QList<Delayed> m_delayed;
    QTimer m_delayTimer;
    QElapsedTimer m_clock;
    QList<SimCommand> m_subscriptions;
    bool m_silent = false;
    bool m_stalled = false;
    QTimer m_splitTimer;
    QList<QByteArray> m_splitBacklog; // writes waiting for the held-back piece before them
    QByteArray m_splitRest;
};
