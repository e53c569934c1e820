#pragma once

#include "CControl.h"

#include <QHash>
#include <QString>

class HNode;

// Finds the node a panel file names for a control in a hardware tree. The
// device is the one whose connection key equals the control's connection;
// under it, the node with the control's node id and category, failing that
// the node whose label is the control's block. The devices are indexed once,
// so binding a whole document walks the tree once per control at most.
class CNodeLocator
{
public:
    // A locator over no tree finds nothing.
    explicit CNodeLocator(HNode *root = nullptr);

    // Null when the tree holds no such device or node.
    HNode *find(const CControl::NodeReference &reference) const;
    HNode *device(const QString &connectionKey) const;

private:
    void indexDevices(HNode *node);

    // The first device of each connection key, in tree order.
    QHash<QString, HNode *> m_devices;
};
