#pragma once

#include "HNode.h"

#include <QList>

// A node that owns child nodes, in the order they were added.
class HComposite : public HNode
{
    Q_OBJECT
public:
    HComposite() = default;
    ~HComposite() override;

    const QList<HNode *> &children() const { return m_children; }
    int childCount() const { return m_children.size(); }

    QString category() const override;
    bool writeXml(XmlWriter *writer) override;

    HNode *findByCategory(const QString &category) override;
    HNode *findByNodeID(int nodeID) override;
    HNode *findByCategoryAndNodeID(const QString &category, int nodeID) override;
    HNode *findByAttribute(const QString &name, const QString &value) override;
    HNode *findByCategoryAndAttribute(const QString &category, const QString &name,
                                      const QString &value) override;

    // Takes node out of the children without deleting it.
    bool removeChild(HNode *node) override;
    // Deletes every removable unchecked node below; true when no child is
    // left.
    bool pruneUnchecked() override;
    quint32 clearChecked() override;
    bool pruneByChecked(bool state) override;
    bool isChecked() const override;
    void clearState(bool keepOwn) override;
    void appendByCategory(const QString &category, QList<HNode *> &list) override;
    void appendNodes(const QString &category, QList<HNode *> &list) override;
    // Orders list by sort key, ascending; equal keys keep their order.
    void sortNodes(QList<HNode *> &list) const override;
    void connectTo(QObject *receiver) override;
    void clearHasCheckedChild() override;
    bool pruneNotInModel() override;
    void dump() const override;
    void buildModel(QStandardItemModel *model) override;
    bool addNode(HNode *node) override;
    void moveToEnd(HNode *node) override;
    HNode *childAt(int i) const override;
    void setProtocol(PProtocol *protocol) override;

private:
    // Removes and deletes every child for which goes(child) is true.
    template<typename Test>
    void pruneChildren(Test goes);

    QList<HNode *> m_children;
};
