#include "IHostCheck.h"

#include "KvrLogging.h"

#include <QProcessEnvironment>

IHostCheck::IHostCheck(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &IHostCheck::onTimeout);
    m_watchdog.setSingleShot(true);
    m_watchdog.setInterval(WatchdogMs);
    connect(&m_watchdog, &QTimer::timeout, &m_ping, &QProcess::kill);
    connect(&m_ping, &QProcess::finished, this, &IHostCheck::onFinished);
    connect(&m_ping, &QProcess::errorOccurred, this, &IHostCheck::onError);
    // Linux ping speaks the locale's language; only its exit status is read.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    m_ping.setProcessEnvironment(environment);
}

IHostCheck::~IHostCheck()
{
    stop();
    // A killed ping ends at once; it is reaped here rather than left behind.
    m_ping.waitForFinished(1000);
}

void IHostCheck::arm()
{
    m_enabled = true;
    if (!m_timer.isActive())
        m_timer.start();
}

void IHostCheck::stop()
{
    m_enabled = false;
    m_timer.stop();
    m_watchdog.stop();
    // Its end is ignored now; nothing waits for it.
    if (m_ping.state() != QProcess::NotRunning) {
        m_stopped = true;
        m_ping.kill();
    }
}

void IHostCheck::onTimeout()
{
    if (m_ping.state() != QProcess::NotRunning)
        return;
    ++m_count;
    m_ping.start(m_program, {QStringLiteral("-n"), QStringLiteral("-c"), QStringLiteral("1"),
                             QStringLiteral("-W"), QStringLiteral("2"), m_host});
    m_watchdog.start();
}

void IHostCheck::onFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    m_watchdog.stop();
    const bool stopped = m_stopped;
    m_stopped = false;
    if (!m_enabled || stopped) {
        // Armed again while the stopped ping was ending: its wait starts
        // now that the ping is gone.
        if (m_enabled)
            arm();
        return;
    }
    // ping: 0 a reply came, 1 none came, anything else it could not try.
    if (exitStatus == QProcess::NormalExit && exitCode == 1) {
        qCDebug(lcComm) << "Host" << m_host << "does not answer the host check";
        emit hostUnreachable();
    } else if (exitStatus != QProcess::NormalExit || exitCode != 0) {
        noteFailure(QStringLiteral("ended with status %1").arg(exitStatus == QProcess::NormalExit ? exitCode : -1));
    }
    arm();
}

void IHostCheck::noteFailure(const QString &what)
{
    if (m_failureLogged)
        return;
    qCWarning(lcComm).noquote() << "The host check cannot run" << m_program << ":" << what
                                << "- the host is not judged by it.";
    m_failureLogged = true;
}

void IHostCheck::onError(QProcess::ProcessError processError)
{
    // A crash or the watchdog's kill ends in onFinished; only a ping that
    // never started is handled here.
    if (processError != QProcess::FailedToStart)
        return;
    m_watchdog.stop();
    m_stopped = false;
    noteFailure(m_ping.errorString());
    if (m_enabled)
        arm();
}
