#pragma once

#include "PProtocol.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>

class HChassis;
class ITcpClient;

// Asks one device, over a TCP client set up as the device's own, for each
// parameter the panels use, one query at a time: the client's dispatcher
// writes each query up to three times and reports whether the device
// answered it, refused it with NAK or left it unanswered. The probe stands
// in for the device's protocol on that client: it shakes no hands and
// subscribes to nothing, so every query waits for its own answer.
class CheckProbe : public PProtocol
{
    Q_OBJECT
public:
    enum class Outcome { Pending, Answered, Refused, Unanswered, NotAsked };

    struct Question
    {
        QString query;    // without the line end
        QString tag;      // what the answer begins with
        Outcome outcome = Outcome::Pending;
        QString note;     // why it was not asked
        int writes = 0;   // times it was handed to the client
    };

    // The device is reached at the address and port of its settings.
    explicit CheckProbe(HChassis *chassis, QObject *parent = nullptr);
    ~CheckProbe() override;

    HChassis *chassis() const { return m_chassis; }
    // Adds a query to ask, once; answers its index.
    int addQuestion(const QString &query);
    const QList<Question> &questions() const { return m_questions; }

    // Connects and asks; a device whose connection attempt fails, or that is
    // not connected within connectWindowMs, is given up (and, if it drops
    // the connection, again from then on). finished() follows.
    void start(int connectWindowMs);
    // Gives up what is still to ask, with the reason; finished() follows.
    // Nothing happens once the probe has finished.
    void stop(const QString &reason);
    bool isFinished() const { return m_finished; }
    // Whether the device ever took the connection.
    bool wasConnected() const { return m_wasConnected; }
    // Why the probe gave up before it had asked everything; empty when it
    // did not.
    QString stopReason() const { return m_stopReason; }
    QString addressText() const;
    int port() const;

    QString typeName() const override;

signals:
    void finished();

private slots:
    void onStateChanged(bool connected);
    void onAnswered();
    void onRefused(const QByteArray &bytes);
    void onError(const QByteArray &bytes);
    void onConnectWindowOver();
    void askNext();

private:
    void settle(Outcome outcome, const QString &note = QString());
    void giveUp(const QString &reason);
    void finish();

    HChassis *m_chassis;
    ITcpClient *m_client = nullptr;
    QList<Question> m_questions;
    QTimer m_connectWindow;
    int m_current = -1;
    QByteArray m_sent;
    QString m_stopReason;
    bool m_refusedSeen = false;
    bool m_connected = false;
    bool m_wasConnected = false;
    bool m_finished = false;
};
