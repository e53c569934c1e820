#include "TTransformFactory.h"

#include "CControl.h"
#include "KvrLogging.h"
#include "TBin8.h"
#include "TChrL.h"
#include "TGrpV.h"
#include "THexL.h"
#include "TPassThrough.h"
#include "TStrL.h"
#include "TStrV.h"
#include "TText.h"

#include <array>

namespace {
template<typename T>
TTransform *makeKind()
{
    return new T;
}

struct Kind
{
    const char *keyword;
    TTransform *(*make)();
};

// In the order the keywords are compared.
constexpr std::array<Kind, 9> Kinds = {{
    {"bin8", makeKind<TBin8>},
    {"idx8", makeKind<TBin8>},
    {"strV", makeKind<TStrV>},
    {"grpV", makeKind<TGrpV>},
    {"chrL", makeKind<TChrL>},
    {"hexL", makeKind<THexL>},
    {"strL", makeKind<TStrL>},
    {"text", makeKind<TText>},
    {"passThrough", makeKind<TPassThrough>},
}};
} // namespace

TTransformFactory::TTransformFactory(QObject *parent) : QObject(parent) {}

TTransformFactory *TTransformFactory::instance()
{
    static TTransformFactory factory;
    return &factory;
}

TTransform *TTransformFactory::create(const QString &keyword) const
{
    for (const Kind &kind : Kinds) {
        if (keyword == QLatin1String(kind.keyword))
            return kind.make();
    }
    return nullptr;
}

void TTransformFactory::addControl(CControl *control)
{
    if (!control || m_registry.contains(control))
        return;
    m_registry.append(control);
    watch(control);
}

void TTransformFactory::removeControl(CControl *control)
{
    m_registry.removeAll(control);
    unwatchIfIdle(control);
}

QList<CControl *> TTransformFactory::controls() const
{
    return m_registry;
}

QList<CControl *> TTransformFactory::users(const TTransform *transform) const
{
    QList<CControl *> list;
    for (const Holding &holding : m_holdings) {
        if (holding.transform == transform)
            list.append(holding.control);
    }
    return list;
}

int TTransformFactory::holdingIndex(const CControl *control) const
{
    for (int i = 0; i < m_holdings.size(); ++i) {
        if (m_holdings.at(i).control == control)
            return i;
    }
    return -1;
}

TTransform *TTransformFactory::sharedWith(const CControl *control) const
{
    for (const CControl *other : m_registry) {
        if (other == control || other->node() != control->node() || other->name() != control->name()
            || other->type() != control->type())
            continue;
        const int i = holdingIndex(other);
        TTransform *transform = i >= 0 ? m_holdings.at(i).transform : other->transform();
        if (transform)
            return transform;
    }
    return nullptr;
}

TTransform *TTransformFactory::obtain(CControl *control)
{
    if (!control)
        return nullptr;
    const int held = holdingIndex(control);
    if (held >= 0) {
        control->setTransform(m_holdings.at(held).transform);
        return control->transform();
    }
    if (control->transform() || control->attributes().transform().isEmpty())
        return control->transform();

    TTransform *transform = sharedWith(control);
    if (!transform) {
        transform = create(control->attributes().transform());
        if (!transform) {
            qCDebug(lcTransform) << "TTransformFactory::obtain - no transform named"
                                 << control->attributes().transform() << "for" << control->name();
            return nullptr;
        }
        transform->setParent(this);
        addControl(control);
    }
    transform->addUser();
    transform->setOwnerAttributes(&control->attributes());
    transform->setNode(control->node());
    transform->configure();
    control->setTransform(transform);
    m_holdings.append({control, transform, &control->attributes()});
    watch(control);
    return transform;
}

void TTransformFactory::release(CControl *control, TTransform *transform)
{
    const int held = holdingIndex(control);
    if (!transform || held < 0 || m_holdings.at(held).transform != transform) {
        qCDebug(lcTransform) << "TTransformFactory::release - the control does not hold" << transform;
        return;
    }
    if (control->transform() == transform)
        control->setTransform(nullptr);
    leave(control);
}

void TTransformFactory::leave(CControl *control)
{
    const int held = holdingIndex(control);
    if (held >= 0) {
        const Holding holding = m_holdings.takeAt(held);
        TTransform *transform = holding.transform;
        const int left = transform->releaseUser();
        const QList<CControl *> others = users(transform);
        CControl *heir = left > 0 && !others.isEmpty() ? others.first() : nullptr;
        if (transform->ownerAttributes() == holding.attributes) {
            transform->setOwnerAttributes(heir ? &heir->attributes() : nullptr);
            if (heir)
                transform->configure();
        }
        const int registered = m_registry.indexOf(control);
        if (registered >= 0 && heir && !m_registry.contains(heir)) {
            m_registry[registered] = heir;
        }
        if (left == 0 && transform->parent() == this)
            transform->deleteLater();
    }
    m_registry.removeAll(control);
    unwatchIfIdle(control);
}

void TTransformFactory::watch(CControl *control)
{
    if (m_watches.contains(control))
        return;
    m_watches.insert(control, connect(control, &QObject::destroyed, this, [this, control] {
                         m_watches.remove(control);
                         leave(control);
                     }));
}

void TTransformFactory::unwatchIfIdle(CControl *control)
{
    if (holdingIndex(control) >= 0 || m_registry.contains(control))
        return;
    const auto it = m_watches.constFind(control);
    if (it == m_watches.constEnd())
        return;
    disconnect(*it);
    m_watches.erase(it);
}
