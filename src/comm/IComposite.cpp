#include "IComposite.h"

#include "KvrLogging.h"

#include <algorithm>

IComposite::IComposite(QObject *parent) : IInterface(parent) {}

IComposite::~IComposite()
{
    clear(false);
}

bool IComposite::open()
{
    bool all = true;
    for (IInterface *child : std::as_const(m_children))
        all = child->open() && all;
    return all;
}

bool IComposite::close()
{
    bool all = true;
    for (IInterface *child : std::as_const(m_children))
        all = child->close() && all;
    return all;
}

void IComposite::ensureOpen()
{
    for (IInterface *child : std::as_const(m_children))
        child->ensureOpen();
}

void IComposite::shutdown()
{
    for (IInterface *child : std::as_const(m_children))
        child->shutdown();
}

void IComposite::notifyState()
{
    for (IInterface *child : std::as_const(m_children))
        child->notifyState();
}

void IComposite::dump() const
{
    IInterface::dump();
    for (IInterface *child : m_children)
        child->dump();
}

void IComposite::resynchronize()
{
    for (IInterface *child : std::as_const(m_children))
        child->resynchronize();
}

void IComposite::armHostCheck()
{
    for (IInterface *child : std::as_const(m_children))
        child->armHostCheck();
}

void IComposite::reconnect()
{
    for (IInterface *child : std::as_const(m_children))
        child->reconnect();
}

int IComposite::connectedCount() const
{
    return int(std::count_if(m_children.cbegin(), m_children.cend(),
                             [](const IInterface *child) { return child->isConnected(); }));
}

IInterface *IComposite::childAt(int index) const
{
    return index >= 0 && index < m_children.size() ? m_children.at(index) : nullptr;
}

void IComposite::add(IInterface *child)
{
    if (!child || child == this || m_children.contains(child))
        return;
    m_children.append(child);
    m_objects.append(child);
    connect(child, &QObject::destroyed, this, &IComposite::onChildDestroyed);
}

void IComposite::remove(IInterface *child)
{
    const int at = int(m_children.indexOf(child));
    if (at < 0)
        return;
    m_children.removeAt(at);
    m_objects.removeAt(at);
    disconnect(child, &QObject::destroyed, this, &IComposite::onChildDestroyed);
}

void IComposite::clear(bool closeChildren)
{
    const QList<IInterface *> children = m_children;
    for (IInterface *child : children) {
        if (closeChildren)
            child->close();
        remove(child);
    }
}

void IComposite::onChildDestroyed(QObject *child)
{
    // The interface part is already gone: only the object's address is
    // compared.
    const int at = int(m_objects.indexOf(child));
    if (at >= 0) {
        m_children.removeAt(at);
        m_objects.removeAt(at);
    }
}
