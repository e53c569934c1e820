#pragma once

#include "WWidget.h"

#include <QPointer>

class HNode;

// A place on a template panel that takes one control of a given kind, which
// the engineer drags onto it in edit mode. The site decides whether a drop
// may land, shows the name of the control it holds, and moves it along.
class WDropSite : public WWidget
{
    Q_OBJECT
public:
    static const char *const QmlFile;

    explicit WDropSite(QQuickItem *parent = nullptr);

    void initialize(QQuickItem *item) override;
    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;
    void bindToPanel(CComposite *panel) override;
    // The drop rules: the dragged kind must be the site's, and a control
    // already here is replaced only when the user agrees.
    bool acceptDrop(const QString &text, const QString &data) override;
    // Holds the control from now on (none: the held one leaves the canvas).
    void attachControl(CControl *control) override;
    CControl *siteControl() const override { return m_held; }
    void moveBy(const QPointF &offset) override;
    void dump() const override;

    QString siteType() const { return m_siteType; }
    QString title() const { return m_title; }
    // The id of the control the file placed here, until it is attached.
    quint32 childId() const { return m_childId; }

    // What a drag from the hardware tree carries: the parameter's name as
    // its text, and its node as data ("<connection key>#<node id>", the
    // node id 0 for the device itself).
    static QString dragData(const HNode *node);
    static HNode *draggedNode(HNode *root, const QString &data);
    // The kind of control the dragged parameter gives; empty when the drag
    // names no parameter.
    static QString draggedType(HNode *root, const QString &text, const QString &data);

    Q_INVOKABLE void deleteChild();
    Q_INVOKABLE void properties();
    Q_INVOKABLE QString getToolTip(bool hover) const;
    Q_INVOKABLE void clear();
    Q_INVOKABLE QString getControlType() const { return m_siteType; }

private:
    void showEmpty();

    QString m_title;
    QString m_siteType;
    quint32 m_childId = 0;
    QPointer<CControl> m_held;
};
