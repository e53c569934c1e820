#include "ILinkWatch.h"

ILinkWatch::ILinkWatch(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(CheckMs);
    connect(&m_timer, &QTimer::timeout, this, &ILinkWatch::check);
}

ILinkWatch::~ILinkWatch() = default;

void ILinkWatch::start()
{
    m_lastReceived.start();
    m_unansweredSince.invalidate();
    m_timer.start();
}

void ILinkWatch::stop()
{
    m_timer.stop();
    m_unansweredSince.invalidate();
}

void ILinkWatch::noteAwaitedWrite()
{
    if (!m_unansweredSince.isValid())
        m_unansweredSince.start();
}

void ILinkWatch::noteReceived()
{
    m_lastReceived.start();
    m_unansweredSince.invalidate();
}

void ILinkWatch::check()
{
    if (m_unansweredSince.isValid()) {
        if (m_unansweredSince.elapsed() >= DeadAfterMs) {
            const qint64 unanswered = m_unansweredSince.elapsed();
            stop();
            emit linkDead(unanswered);
        }
        return;
    }
    if (m_lastReceived.elapsed() >= ProbeAfterMs)
        emit probeDue();
}
