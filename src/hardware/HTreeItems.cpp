#include "HTreeItems.h"

#include "CParameter.h"
#include "HNode.h"

#include <QHash>
#include <QIcon>
#include <QStandardItemModel>

const char *const HTreeItems::CompletePanelIcon = ":/images/CompletePanel.png";

HNode *HTreeItems::nodeOf(const QStandardItem *item)
{
    if (!item)
        return nullptr;
    return reinterpret_cast<HNode *>(static_cast<quintptr>(item->data(NodeRole).toULongLong()));
}

void HTreeItems::setNode(QStandardItem *item, const HNode *node)
{
    item->setData(QVariant::fromValue<quint64>(reinterpret_cast<quintptr>(node)), NodeRole);
}

QStandardItem *HTreeItems::create(const QString &text, const HNode *node, int flags)
{
    auto *item = new QStandardItem(text);
    item->setFlags(Qt::ItemFlags::fromInt(flags));
    setNode(item, node);
    return item;
}

QStandardItem *HTreeItems::find(QStandardItemModel *model, const QString &text, const HNode *node)
{
    if (!model)
        return nullptr;
    // Folder items sit at the top or just below a device's item, and the
    // model can hold tens of thousands of parameter items below them: the
    // search goes level by level, and tests the node before the text.
    QList<QStandardItem *> level{model->invisibleRootItem()};
    while (!level.isEmpty()) {
        QList<QStandardItem *> next;
        for (QStandardItem *parent : std::as_const(level)) {
            for (int row = 0; row < parent->rowCount(); ++row) {
                QStandardItem *item = parent->child(row);
                if (!item)
                    continue;
                if (nodeOf(item) == node && item->text() == text)
                    return item;
                if (item->hasChildren())
                    next.append(item);
            }
        }
        level.swap(next);
    }
    return nullptr;
}

QStandardItem *HTreeItems::addCompletePanel(QStandardItem *nodeItem, const HNode *node)
{
    QStandardItem *item = create(node->label(), node,
                                 node->itemFlags() | DragEnabled | CompletePanelMarker);
    item->setIcon(QIcon(QString::fromLatin1(CompletePanelIcon)));
    nodeItem->appendRow(item);
    return item;
}

void HTreeItems::addParameters(QStandardItem *nodeItem, const HNode *node, int groupSize)
{
    const QString title = node->title();
    const bool link = title == QLatin1String("DriveNet")
                      || title.startsWith(QLatin1String("ZMPLink"));
    const bool toneEq = title == QLatin1String("ToneEQ") || title == QLatin1String("Tone EQ");
    const bool mixer = title.startsWith(QLatin1String("AMM"));
    const QList<CParameter *> parameters = node->parameters();

    int shown = parameters.size();
    if (link)
        shown = qBound(0, node->channelCount() * groupSize, shown);

    QStandardItem *group = nodeItem;
    for (int i = 0; i < shown; ++i) {
        CParameter *parameter = parameters.at(i);
        QStandardItem *holder = nodeItem;
        if (link) {
            if (i % groupSize == 0)
                group = addGroup(nodeItem, node->channelName(i / groupSize), node);
            holder = group;
        } else if (toneEq) {
            // Two parameters per band: level and bypass.
            if (i == 0)
                group = addGroup(nodeItem, QStringLiteral("Low"), node);
            else if (i == 2)
                group = addGroup(nodeItem, QStringLiteral("Mid"), node);
            else if (i == 4)
                group = addGroup(nodeItem, QStringLiteral("High"), node);
            holder = group;
        } else if (mixer && parameter->text().startsWith(QLatin1String("Mic"))) {
            holder = addGroup(nodeItem, microphoneLabel(node, parameter->text()), node);
        }
        addParameter(holder, parameter, node);
    }
}

QStandardItem *HTreeItems::addParameter(QStandardItem *holder, CParameter *parameter,
                                        const HNode *node)
{
    QStandardItem *item = create(parameter->text(), node,
                                 node->itemFlags() | DragEnabled | ParameterMarker);
    const QString path = parameter->iconPath();
    if (!path.isEmpty()) {
        // One icon per control kind, shared by all its items.
        static QHash<QString, QIcon> icons;
        auto icon = icons.find(path);
        if (icon == icons.end())
            icon = icons.insert(path, QIcon(path));
        item->setIcon(*icon);
    }
    holder->appendRow(item);
    parameter->setItem(item);
    return item;
}

QStandardItem *HTreeItems::addGroup(QStandardItem *nodeItem, const QString &text, const HNode *node)
{
    QStandardItem *item = create(text, node, node->itemFlags());
    nodeItem->appendRow(item);
    return item;
}

QString HTreeItems::microphoneLabel(const HNode *node, const QString &parameterName)
{
    // Microphones are numbered from 1 ("Mic 1"); the input labels from 0.
    const QString label = node->inputLabel(HNode::channelNumber(parameterName) - 1);
    return label.isEmpty() ? parameterName : label;
}
