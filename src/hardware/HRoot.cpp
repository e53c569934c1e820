#include "HRoot.h"

#include "HTreeItems.h"
#include "KvrLogging.h"

#include <QStandardItemModel>

QString HRoot::category() const
{
    return QStringLiteral("Root");
}

void HRoot::buildModel(QStandardItemModel *model)
{
    if (!model) {
        qCDebug(lcHardware) << "HRoot::buildModel - pModel not defined. Skipping addModelItems.";
        return;
    }
    // The folders must exist before the nodes that look for them; once the
    // devices have added theirs, the folders move behind them.
    const QStringList folders = {groupsCategory(), parameterSetsCategory(), rcGroupsCategory(),
                                 parameterSetListsCategory()};
    QList<QStandardItem *> items;
    for (const QString &text : folders) {
        QStandardItem *item = HTreeItems::create(text, this, HTreeItems::DefaultFlags);
        model->appendRow(item);
        items.append(item);
    }

    HComposite::buildModel(model);

    for (QStandardItem *item : std::as_const(items))
        model->appendRow(model->takeRow(item->row()));
}
