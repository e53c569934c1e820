#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Watches one device connection for silence. A device that loses power or
// its cable leaves the connection open and silent, and a device that
// streams its changes is asked nothing for long stretches; so once the
// device has been quiet for ProbeAfterMs with nothing owed, a probe is due,
// and a device that leaves a write unanswered for DeadAfterMs is taken as
// gone.
class ILinkWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr int ProbeAfterMs = 1000;
    static constexpr int DeadAfterMs = 2500;
    static constexpr int CheckMs = 250;

    explicit ILinkWatch(QObject *parent = nullptr);
    ~ILinkWatch() override;

    // A new connection: nothing is owed, the silence counts from now.
    void start();
    void stop();
    // A write that the device is to answer went out.
    void noteAwaitedWrite();
    // Bytes came from the device.
    void noteReceived();

signals:
    void probeDue();
    void linkDead(qint64 unansweredMs);

private slots:
    void check();

private:
    QTimer m_timer;
    QElapsedTimer m_lastReceived;
    QElapsedTimer m_unansweredSince; // invalid while every write has had an answer
};
