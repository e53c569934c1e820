#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal. The handler only writes the
// signal number into a pipe (all a handler may safely do); a socket
// notifier on the other end raises stopRequested() in the event loop.
// One watcher per process.
class SimSignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SimSignalWatcher(QObject *parent = nullptr);
    ~SimSignalWatcher() override;

    // Installs the handlers; false when the pipe cannot be made.
    bool install();

signals:
    void stopRequested(int signalNumber);

private slots:
    void onNotified();

private:
    static void handle(int signalNumber);

    static int s_pipe[2];
    QSocketNotifier *m_notifier = nullptr;
};
