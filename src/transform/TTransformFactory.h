#pragma once

#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>

class CAttributes;
class CControl;
class TTransform;

// Creates transforms by keyword and shares them between controls. Controls
// bound to the same node under the same name and type show one parameter,
// so they share one transform: the first of them creates it and enters the
// registry, the later ones find it there.
//
// Lifetime: the factory keeps (as their parent) the transforms it hands to
// controls. When the last control lets go of one, its live flag clears and
// it is deleted on the next return to the event loop, so that code still on
// the stack (a control tearing down its widgets) never holds a dead object.
// Whatever else keeps a transform beyond its controls (widgets, a protocol's
// subscriptions) holds it through QPointer or lets go on destroyed().
//
// A control destroyed while it holds a transform lets go of it then; the
// factory never keeps a pointer to a control that is gone.
class TTransformFactory : public QObject
{
    Q_OBJECT
public:
    static TTransformFactory *instance();

    // A new transform owned by the caller, or null for any other keyword.
    TTransform *create(const QString &keyword) const;

    // The registry: controls whose transforms later controls may share.
    void addControl(CControl *control);
    void removeControl(CControl *control);
    QList<CControl *> controls() const;

    // Gives control its transform and answers it: the one of a registered
    // control with the same node, name and type, or a new one by the
    // control's transform keyword (the control then enters the registry).
    // The transform counts the control as a user, reads the control's
    // attributes and takes its node. A control that already holds a
    // transform keeps it; null when the keyword names no transform.
    TTransform *obtain(CControl *control);
    // control lets go of transform: one user fewer. Its attributes, if the
    // transform read them, are replaced by those of a remaining user, who
    // also takes the control's place in the registry. With no user left the
    // control leaves the registry and the transform goes (see above).
    void release(CControl *control, TTransform *transform);
    // The controls holding transform, earliest first.
    QList<CControl *> users(const TTransform *transform) const;

private:
    struct Holding
    {
        CControl *control;
        TTransform *transform;
        CAttributes *attributes;
    };

    explicit TTransformFactory(QObject *parent = nullptr);

    TTransform *sharedWith(const CControl *control) const;
    int holdingIndex(const CControl *control) const;
    // The control lets go of what it holds. It may already be destroyed, so
    // it is only compared, never used.
    void leave(CControl *control);
    void watch(CControl *control);
    void unwatchIfIdle(CControl *control);

    QList<CControl *> m_registry;
    QList<Holding> m_holdings;
    QHash<CControl *, QMetaObject::Connection> m_watches;
};
