#include "WDelegate.h"

#include "WWidgetFactory.h"

#include <QDateTime>

WDelegate *WDelegate::instance()
{
    // Kept until the process ends.
    static WDelegate *delegate = new WDelegate;
    return delegate;
}

WDelegate::WDelegate()
    : m_factory(new WWidgetFactory), m_idCounter(quint64(QDateTime::currentMSecsSinceEpoch()))
{
}

WDelegate::~WDelegate()
{
    delete m_factory;
}

void WDelegate::setFactory(WWidgetFactory *factory)
{
    if (factory == m_factory)
        return;
    delete m_factory;
    m_factory = factory;
}

quint32 WDelegate::nextId()
{
    return quint32(++m_idCounter);
}
