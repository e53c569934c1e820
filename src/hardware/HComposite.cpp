#include "HComposite.h"

#include "KvrLogging.h"

#include <algorithm>

HComposite::~HComposite()
{
    qDeleteAll(m_children);
}

QString HComposite::category() const
{
    return QStringLiteral("Composite");
}

bool HComposite::writeXml(XmlWriter *writer)
{
    for (HNode *child : std::as_const(m_children))
        child->writeXml(writer);
    return true;
}

HNode *HComposite::findByCategory(const QString &category)
{
    if (HNode *self = HNode::findByCategory(category))
        return self;
    for (HNode *child : std::as_const(m_children)) {
        if (HNode *found = child->findByCategory(category))
            return found;
    }
    return nullptr;
}

// The two finders below look at descendants only, so a composite child is
// tested by its base rule before its own descendants are searched.
HNode *HComposite::findByNodeID(int nodeID)
{
    for (HNode *child : std::as_const(m_children)) {
        if (HNode *found = child->HNode::findByNodeID(nodeID))
            return found;
        if (HNode *found = child->findByNodeID(nodeID))
            return found;
    }
    return nullptr;
}

HNode *HComposite::findByCategoryAndNodeID(const QString &category, int nodeID)
{
    if (HNode *self = HNode::findByCategoryAndNodeID(category, nodeID))
        return self;
    for (HNode *child : std::as_const(m_children)) {
        if (HNode *found = child->findByCategoryAndNodeID(category, nodeID))
            return found;
    }
    return nullptr;
}

HNode *HComposite::findByAttribute(const QString &name, const QString &value)
{
    for (HNode *child : std::as_const(m_children)) {
        if (HNode *found = child->HNode::findByAttribute(name, value))
            return found;
        if (HNode *found = child->findByAttribute(name, value))
            return found;
    }
    return nullptr;
}

HNode *HComposite::findByCategoryAndAttribute(const QString &category, const QString &name,
                                              const QString &value)
{
    if (HNode *self = HNode::findByCategoryAndAttribute(category, name, value))
        return self;
    for (HNode *child : std::as_const(m_children)) {
        if (HNode *found = child->findByCategoryAndAttribute(category, name, value))
            return found;
    }
    return nullptr;
}

bool HComposite::removeChild(HNode *node)
{
    return m_children.removeOne(node);
}

template<typename Test>
void HComposite::pruneChildren(Test goes)
{
    for (int i = 0; i < m_children.size();) {
        if (goes(m_children.at(i)))
            delete m_children.takeAt(i);
        else
            ++i;
    }
}

bool HComposite::pruneUnchecked()
{
    pruneChildren([](HNode *child) { return child->pruneUnchecked(); });
    return m_children.isEmpty();
}

quint32 HComposite::clearChecked()
{
    for (HNode *child : std::as_const(m_children))
        child->clearChecked();
    return HNode::clearChecked();
}

bool HComposite::pruneByChecked(bool state)
{
    pruneChildren([state](HNode *child) { return child->pruneByChecked(state); });
    return HNode::pruneByChecked(state);
}

bool HComposite::isChecked() const
{
    return std::any_of(m_children.cbegin(), m_children.cend(),
                       [](const HNode *child) { return child->isChecked(); });
}

void HComposite::clearState(bool keepOwn)
{
    if (!keepOwn)
        HNode::clearState(keepOwn);
    for (HNode *child : std::as_const(m_children))
        child->clearState(false);
}

void HComposite::appendByCategory(const QString &category, QList<HNode *> &list)
{
    HNode::appendByCategory(category, list);
    for (HNode *child : std::as_const(m_children))
        child->appendByCategory(category, list);
}

void HComposite::appendNodes(const QString &category, QList<HNode *> &list)
{
    HNode::appendNodes(category, list);
    for (HNode *child : std::as_const(m_children))
        child->appendNodes(category, list);
}

void HComposite::sortNodes(QList<HNode *> &list) const
{
    std::stable_sort(list.begin(), list.end(),
                     [](const HNode *a, const HNode *b) { return a->sortKey() < b->sortKey(); });
}

void HComposite::connectTo(QObject *receiver)
{
    for (HNode *child : std::as_const(m_children))
        child->connectTo(receiver);
}

void HComposite::clearHasCheckedChild()
{
    HNode::clearHasCheckedChild();
    for (HNode *child : std::as_const(m_children))
        child->clearHasCheckedChild();
}

bool HComposite::pruneNotInModel()
{
    pruneChildren([](HNode *child) { return child->pruneNotInModel(); });
    return HNode::pruneNotInModel();
}

void HComposite::dump() const
{
    for (const HNode *child : m_children)
        child->dump();
}

void HComposite::buildModel(QStandardItemModel *model)
{
    if (!model) {
        qCDebug(lcHardware) << "HComposite::buildModel - null pModel provided as arg";
        return;
    }
    setFlag(InModel);
    for (int i = 0; i < m_children.size(); ++i) {
        HNode *child = childAt(i);
        if (!child) {
            qCDebug(lcHardware) << "HComposite::buildModel - got null node";
            continue;
        }
        if (child->listsLrt4Device()) {
            qCDebug(lcHardware).noquote()
                << "LRT-4 device found in group " + child->label() + ". Skipping add to tree.";
            continue;
        }
        child->buildModel(model);
    }
}

bool HComposite::addNode(HNode *node)
{
    if (!node)
        return false;
    if (label() == QLatin1String("Z50 Inputs"))
        qCDebug(lcHardware) << "Found Z50 Inputs Group";
    if (listsLrt4Device()) {
        qCDebug(lcHardware).noquote()
            << "LRT-4 device found in group " + title() + ". Skipping add to tree.";
        return false;
    }
    node->setParentNode(this);
    // A node speaks through its parent's protocol; a device brings its own,
    // which a parent without one (the root) must not take away.
    if (protocol())
        node->setProtocol(protocol());
    m_children.append(node);
    return true;
}

void HComposite::moveToEnd(HNode *node)
{
    const int at = m_children.indexOf(node);
    if (at >= 0)
        m_children.move(at, m_children.size() - 1);
}

HNode *HComposite::childAt(int i) const
{
    return m_children.value(i, nullptr);
}

void HComposite::setProtocol(PProtocol *protocol)
{
    HNode::setProtocol(protocol);
    for (HNode *child : std::as_const(m_children))
        child->setProtocol(protocol);
}
