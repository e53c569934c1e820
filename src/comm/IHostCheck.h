#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

// Finds out whether the host of a connection that has fallen silent still
// answers. Once armed, it waits (30 s unless set otherwise) and then runs
// the system ping once, "<program> -n -c 1 -W 2 <host>" with the C locale,
// and judges it by its exit status: 1 (no reply) reports the host
// unreachable. A ping that cannot run or tell (any other status, a crash,
// no end within a few seconds) says nothing about the host: it is noted
// once and reports nothing. Then the check arms itself again, until it is
// stopped; a ping that was stopped is never judged.
class IHostCheck : public QObject
{
    Q_OBJECT
public:
    static constexpr int IntervalMs = 30000;
    static constexpr int WatchdogMs = 5000;

    explicit IHostCheck(QObject *parent = nullptr);
    ~IHostCheck() override;

    void setHost(const QString &host) { m_host = host; }
    void setProgram(const QString &program) { m_program = program; }
    QString program() const { return m_program; }
    void setInterval(int ms) { m_timer.setInterval(ms); }
    int interval() const { return m_timer.interval(); }

    // Starts the wait unless it runs already.
    void arm();
    // Data came back: no need to check (a ping under way is still judged).
    void disarm() { m_timer.stop(); }
    // The connection is closed: no wait, no ping, no report.
    void stop();
    bool isArmed() const { return m_timer.isActive(); }
    // How many pings have been started.
    int count() const { return m_count; }
    bool isPinging() const { return m_ping.state() != QProcess::NotRunning; }

signals:
    void hostUnreachable();

private slots:
    void onTimeout();
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onError(QProcess::ProcessError processError);

private:
    // Says once that the ping program is of no use here.
    void noteFailure(const QString &what);

    QTimer m_timer;
    QTimer m_watchdog;
    QProcess m_ping;
    QString m_program = QStringLiteral("ping");
    QString m_host;
    bool m_enabled = false;
    bool m_failureLogged = false;
    bool m_stopped = false; // the running ping was killed by stop()
    int m_count = 0;
};
