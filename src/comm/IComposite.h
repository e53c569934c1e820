#pragma once

#include "IInterface.h"

#include <QList>

// A group of interfaces that is opened, closed and asked as one: the
// application model keeps the interfaces of every device in one. It does not
// own them: each chassis owns its interface, the composite only links to it
// and forgets an interface that is destroyed.
class IComposite : public IInterface
{
    Q_OBJECT
public:
    explicit IComposite(QObject *parent = nullptr);
    ~IComposite() override;

    // True only when every child answered true; an empty group answers true.
    bool open() override;
    bool close() override;
    void ensureOpen() override;
    void shutdown() override;
    void notifyState() override;
    void dump() const override;
    void resynchronize() override;
    void armHostCheck() override;
    void reconnect() override;

    int count() const { return int(m_children.size()); }
    int connectedCount() const;
    // Null outside 0 .. count - 1.
    IInterface *childAt(int index) const;
    // Ignored when the interface is already in the group.
    void add(IInterface *child);
    // Takes the interface out of the group; it is not deleted.
    void remove(IInterface *child);
    // Takes every interface out, closing each first when asked to.
    void clear(bool closeChildren = false);

private slots:
    void onChildDestroyed(QObject *child);

private:
    QList<IInterface *> m_children;
    // The same interfaces as objects, for telling one when it is destroyed.
    QList<const QObject *> m_objects;
};
