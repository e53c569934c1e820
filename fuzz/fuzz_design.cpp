// Seeds: tests/data/designs/*.kvp tests/data/panels/*.kvp tests/data/archive/*.kvp tests/data/devicesim/*.kvp tools/demo/*.kvp
//
// A design project read into an empty hardware tree, read a second time over
// it (the merge of a design that is opened again), and shown as the tree
// model of the hardware view.

#include "FuzzSupport.h"
#include "HRoot.h"
#include "MProject.h"

#include <QStandardItemModel>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::writeScratch(QStringLiteral("input.kvp"), fuzz::bytes(data, size));
    HRoot root;
    MProject project;
    if (root.loadDesign(path, &project))
        root.loadDesign(path, &project);
    QStandardItemModel model;
    root.buildModel(&model);
    fuzz::settle();
    return 0;
}
