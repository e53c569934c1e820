#include "CNodeLocator.h"

#include "HNode.h"

CNodeLocator::CNodeLocator(HNode *root)
{
    if (root)
        indexDevices(root);
}

void CNodeLocator::indexDevices(HNode *node)
{
    if (node->testFlag(HNode::Device) && !m_devices.contains(node->connectionKey()))
        m_devices.insert(node->connectionKey(), node);
    for (int i = 0; HNode *child = node->childAt(i); ++i)
        indexDevices(child);
}

HNode *CNodeLocator::device(const QString &connectionKey) const
{
    return m_devices.value(connectionKey);
}

HNode *CNodeLocator::find(const CControl::NodeReference &reference) const
{
    HNode *chassis = device(reference.connection);
    if (!chassis)
        return nullptr;
    // The device itself is a candidate: controls of the device's own
    // parameters name it.
    if (HNode *node = chassis->findByCategoryAndNodeID(reference.category, reference.nodeID))
        return node;
    if (reference.block.isEmpty())
        return nullptr;
    return chassis->findByAttribute(QStringLiteral("label"), reference.block);
}
