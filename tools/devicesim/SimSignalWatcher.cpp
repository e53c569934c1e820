#include "SimSignalWatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

int SimSignalWatcher::s_pipe[2] = {-1, -1};

SimSignalWatcher::SimSignalWatcher(QObject *parent) : QObject(parent) {}

SimSignalWatcher::~SimSignalWatcher()
{
    if (!m_notifier)
        return;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    delete m_notifier;
    ::close(s_pipe[0]);
    ::close(s_pipe[1]);
    s_pipe[0] = s_pipe[1] = -1;
}

bool SimSignalWatcher::install()
{
    if (m_notifier)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_pipe) != 0)
        return false;
    // The writing end must never block inside the handler.
    ::fcntl(s_pipe[0], F_SETFL, ::fcntl(s_pipe[0], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(s_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimSignalWatcher::onNotified);

    struct sigaction action = {};
    action.sa_handler = &SimSignalWatcher::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return true;
}

void SimSignalWatcher::handle(int signalNumber)
{
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[0], &byte, 1);
}

void SimSignalWatcher::onNotified()
{
    char byte = 0;
    if (::read(s_pipe[1], &byte, 1) == 1)
        emit stopRequested(int(byte));
}
