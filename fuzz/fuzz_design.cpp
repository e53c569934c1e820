// Seeds: tests/data/designs/*.kvp tests/data/panels/*.kvp tests/data/archive/*.kvp tests/data/devicesim/*.kvp tools/demo/*.kvp
//
// A design project read into an empty hardware tree, read a second time over
// it (the merge of a design that is opened again, which must find every node
// again and add none), and shown as the tree model of the hardware view.

#include "FuzzSupport.h"
#include "HRoot.h"
#include "MProject.h"

#include <QStandardItemModel>

namespace {

void collect(const HNode *node, QList<const HNode *> &nodes)
{
    const auto *composite = qobject_cast<const HComposite *>(node);
    for (const HNode *child : composite ? composite->children() : QList<HNode *>()) {
        nodes << child;
        collect(child, nodes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::writeScratch(QStringLiteral("input.kvp"), fuzz::bytes(data, size));
    HRoot root;
    MProject project;
    if (root.loadDesign(path, &project)) {
        QList<const HNode *> first;
        collect(&root, first);
        // Opening the design again finds every node again: none is added,
        // none is lost, and each is marked as still in the design. (Nodes
        // found again move behind their siblings, so the order may change.)
        if (root.loadDesign(path, &project)) {
            QList<const HNode *> again;
            collect(&root, again);
            std::sort(first.begin(), first.end());
            std::sort(again.begin(), again.end());
            if (again != first)
                fuzz::violated("reading a design again changed its tree");
            for (const HNode *node : std::as_const(again)) {
                if (!node->testFlag(HNode::InDesign))
                    fuzz::violated("a node read again lost its mark", node->label());
            }
        }
    }
    QStandardItemModel model;
    root.buildModel(&model);
    fuzz::settle();
    return 0;
}
