#include "WHoldOff.h"

WHoldOff::WHoldOff(int intervalMs, QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &WHoldOff::onTimeout);
}

void WHoldOff::start()
{
    m_timer.start();
}

bool WHoldOff::defer()
{
    if (!m_timer.isActive())
        return false;
    m_deferred = true;
    return true;
}

void WHoldOff::onTimeout()
{
    if (!m_deferred)
        return;
    m_deferred = false;
    emit reportDue();
}
