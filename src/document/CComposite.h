#pragma once

#include "CControl.h"

#include <QList>
#include <QTimer>

// A control that holds controls: the document root (type "Scenes"), a scene
// (read as "Scene", holding panels) or a panel (read as "Panel", holding its
// controls). Its type names the kind of children it holds; it owns them.
//
// While state requests are enabled, a composite asks its children for their
// state one at a time, 5 ms apart, so that a device is never flooded. A
// child whose request fails ends the round, but the walk's cursor has
// already moved past it: the next round begins with the child after it.
class CComposite : public CControl
{
    Q_OBJECT
public:
    enum PanelKind { NoKind = 0, Complete = 1, Template = 2, Custom = 3 };
    static constexpr int StateRequestInterval = 5;

    explicit CComposite(const QString &name = QString(),
                        const QString &type = QStringLiteral("Composite"),
                        QObject *parent = nullptr);
    ~CComposite() override;

    // A scene or panel as read from its element: "Scene" holds "Panels",
    // "Panel" holds "Controls". Null for any other element.
    static CComposite *fromElement(const QString &element, const QString &name);

    // Children, in order. Adding takes ownership, also from another
    // composite; taking gives it back to the caller.
    int childCount() const { return m_children.size(); }
    CControl *childAt(int i) const;
    const QList<CControl *> &children() const { return m_children; }
    void addChild(CControl *child);
    void insertChild(int i, CControl *child);
    // Null when the control is no child of this composite.
    CControl *takeChild(CControl *child);
    // Deletes every child.
    void clear();
    // The direct child with the name, or null.
    CControl *child(const QString &name) const;

    CControl *findById(quint32 id) override;
    CControl *findByName(const QString &name, const QString &type = QString()) override;
    // The first control below this one (depth first) of the type.
    CControl *findByType(const QString &type) const;

    // Only a composite of type "Controls" (a panel) has a kind. Panel kind
    // from its text: "complete", "template" or "custom"; other text keeps
    // the kind; an empty text derives it from the children: template with a
    // "dropsite" child, else custom with exactly one child, else complete.
    PanelKind panelKind() const { return m_panelKind; }
    void setPanelKind(PanelKind kind) { m_panelKind = kind; }
    void setPanelKind(const QString &text);
    // "complete", "template", "custom", or empty for no kind.
    static QString kindName(int kind);
    // The icon the menus and the tree show for a scene or a panel.
    QString iconPath() const;

    void bindNodes(const CNodeLocator &locator) override;
    void activate(CControl *root) override;
    void deactivate() override;
    void createWidgets(WWidgetFactory *factory) override;
    void destroyWidgets() override;
    void setWidgetsVisible(bool visible) override;
    void layoutWidgets(double scale, const QPointF &offset) override;
    QRectF recordBounds() const override;
    QRectF boundingRect() const override;
    // Writes the element the composite was read as, with its children inside
    // the element of its type.
    bool writeXml(XmlWriter &writer) const override;

    // Asks the next child, and while the requests succeed the ones after it
    // at the interval. Nothing happens while state requests are disabled;
    // false when the child's request failed. Starting while a walk is under
    // way leaves it to go on where it is.
    bool requestState() override;
    bool stateRequestsEnabled() const { return m_stateRequestsEnabled; }
    // Disabling stops a walk that is under way.
    void setStateRequestsEnabled(bool enabled);
    // The child the next request asks.
    int stateCursor() const { return m_stateCursor; }
    bool isWalkingStates() const { return m_stateTimer.isActive(); }

private slots:
    void onGetStateTimerTimeout();

private:
    bool requestNextState();

    QList<CControl *> m_children;
    PanelKind m_panelKind = NoKind;
    bool m_stateRequestsEnabled = true;
    int m_stateCursor = 0;
    QTimer m_stateTimer;
};
