#pragma once

#include <QString>
#include <Qt>

class CParameter;
class HNode;
class QStandardItem;
class QStandardItemModel;

// The items of the checkable hardware tree. Every item names the node it
// stands for in NodeRole (the pointer as an unsigned 64-bit number), so that
// a check or a drag leads back to the node and its parameter.
class HTreeItems
{
public:
    static constexpr int NodeRole = Qt::UserRole + 1;
    static constexpr int DefaultFlags = 49; // selectable, user-checkable, enabled
    static constexpr int DragEnabled = 0x4;
    // Program markers beside Qt's item flags: the item is a parameter, or
    // stands for the whole panel of a template without parameters.
    static constexpr int ParameterMarker = 0x400;
    static constexpr int CompletePanelMarker = 0x800;
    static const char *const CompletePanelIcon;

    static HNode *nodeOf(const QStandardItem *item);
    static void setNode(QStandardItem *item, const HNode *node);
    // A new item with the given text, node and item flags.
    static QStandardItem *create(const QString &text, const HNode *node, int flags);
    // The item of the whole model whose text is text (exact) and whose node
    // is node, the one nearest the top first (row order within a level);
    // null if none.
    static QStandardItem *find(QStandardItemModel *model, const QString &text, const HNode *node);

    // The single child that stands for the complete panel of node.
    static QStandardItem *addCompletePanel(QStandardItem *nodeItem, const HNode *node);
    // One item per parameter of node under nodeItem. Link nodes group their
    // parameters by channel (groupSize parameters per channel), tone
    // equalisers by band, and automatic mixers put each microphone under the
    // label of its input.
    static void addParameters(QStandardItem *nodeItem, const HNode *node, int groupSize);

private:
    static QStandardItem *addParameter(QStandardItem *holder, CParameter *parameter,
                                       const HNode *node);
    static QStandardItem *addGroup(QStandardItem *nodeItem, const QString &text,
                                   const HNode *node);
    static QString microphoneLabel(const HNode *node, const QString &parameterName);
};
