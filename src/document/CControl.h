#pragma once

#include "CAttributes.h"
#include "CWidgetRecord.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QPointF>
#include <QRectF>
#include <QString>

class CComposite;
class CNodeLocator;
class HNode;
class TTransform;
class WWidget;
class WWidgetFactory;
class XmlWriter;

// A control of a panel: a leaf of the document tree. It names the hardware
// node whose parameter it operates, binds that parameter through its
// attributes and keeps its widgets' settings as data: each element under its
// "widget" property is one widget record, in file order, until the widget layer
// turns the records into live widgets. The "range" or "list" element under its
// "attributes" property is kept as read (the attribute record) and converted
// into its attributes.
class CControl : public QObject
{
    Q_OBJECT
public:
    // The node a panel file names for a control. Kept as read, so that a
    // control whose node is not in the tree is written back as it came.
    struct NodeReference
    {
        QString block;
        int nodeID = 0;
        QString category;
        QString connection;

        bool isEmpty() const;
    };

    explicit CControl(const QString &name = QString(), const QString &type = QString(),
                      QObject *parent = nullptr);
    // A control leaves its composite when deleted.
    ~CControl() override;

    QString name() const { return m_name; }
    QString type() const { return m_type; }
    void setName(const QString &name) { m_name = name; }
    void setType(const QString &type) { m_type = type; }
    // The element a composite was read as ("Scene", "Panel"); empty for a
    // plain control and the document root.
    QString elementType() const { return m_elementType; }
    void setElementType(const QString &elementType) { m_elementType = elementType; }

    // Unique within the run: a new control takes the next id; a control read
    // from a file takes the id stored there, which links refer to.
    quint32 id() const { return m_id; }
    void setId(quint32 id) { m_id = id; }

    CComposite *parentComposite() const { return m_parentComposite; }

    CAttributes &attributes() { return m_attributes; }
    const CAttributes &attributes() const { return m_attributes; }
    // The value transform the control works through; not owned (controls of
    // one parameter may share it), and forgotten when it is deleted.
    TTransform *transform() const;
    void setTransform(TTransform *transform);

    // The bound node; null for decorations and for controls whose node the
    // tree does not hold. Forgotten when the node is deleted.
    HNode *node() const;
    void setNode(HNode *node);
    const NodeReference &nodeReference() const { return m_reference; }
    void setNodeReference(const NodeReference &reference) { m_reference = reference; }
    // The bound node's reference, or the one read when there is no node.
    NodeReference currentReference() const;

    // Takes one of the keys a panel file stores directly in a control:
    // "block", "nodeID", "nodeCategory", "connection" and "id". False for
    // another key and for an id that is not a number from 1 to 2^32 - 1.
    bool setValue(const QString &key, const QString &value);
    // Writes the Control element: the keys above, the widget records and the
    // attributes.
    virtual bool writeXml(XmlWriter &writer) const;

    // Binds the control to its node in the locator's tree; a control whose
    // node is not there stays unbound.
    virtual void bindNodes(const CNodeLocator &locator);
    // Asks the device for the control's state: when it has a transform, a
    // node and may be polled, and the transform says a poll is due, the
    // transform goes to the node's protocol. True when done or nothing was
    // due; false when the request failed.
    virtual bool requestState();

    // This control or the first below it (depth first) with the id, or with
    // the name and, unless type is empty, the type.
    virtual CControl *findById(quint32 id);
    virtual CControl *findByName(const QString &name, const QString &type = QString());

    // Takes the control's transform from the transform factory (shared with
    // the other controls of the same parameter) and follows its "link"
    // attribute to the linked control's transform.
    virtual void activate(CControl *root);
    // Lets go of the transform; widgets forget it.
    virtual void deactivate();

    // The widgets, created from the records once a scene exists. A panel's
    // widgets are made the first time it is shown, so that opening a file
    // never waits for the items of every panel.
    QList<WWidget *> widgets() const;
    WWidget *firstWidget() const;
    bool hasWidgets() const { return m_widgetsCreated; }
    virtual void createWidgets(WWidgetFactory *factory);
    virtual void destroyWidgets();
    virtual void setWidgetsVisible(bool visible);
    // Places the widgets at their file geometry times scale, moved by
    // offset; the file geometry is kept, so a new scale never drifts.
    virtual void layoutWidgets(double scale, const QPointF &offset);
    // The union of the widgets' rectangles as the file gives them (no items
    // needed); backgrounds do not count.
    virtual QRectF recordBounds() const;
    // The union of the live widgets' rectangles.
    virtual QRectF boundingRect() const;
    // The text of the control's first label widget.
    QString labelText() const;
    // Moves and stretches the widgets' file geometry so that the control
    // fills target (a drop site's place), in the records too.
    void placeFileGeometry(const QRectF &target);
    // The control of the drop site that holds this one; null when none.
    CControl *holder() const { return m_holder; }
    void setHolder(CControl *holder) { m_holder = holder; }

    const QList<CWidgetRecord> &widgetRecords() const { return m_widgetRecords; }
    const CWidgetRecord &attributeRecord() const { return m_attributeRecord; }

    // Starts the next widget of the control; the settings that follow belong
    // to it.
    void beginWidgetRecord(const QString &element);
    // Adds a setting to the widget begun last; false when none was begun.
    bool addWidgetSetting(const QString &key, const QString &value);
    // A control has one attribute element; beginning another replaces it.
    // A "range" or "list" element also sets the kind of the attributes.
    void beginAttributeRecord(const QString &element);
    // Keeps the setting in the attribute record and hands it to the
    // attributes; false when no attribute element was begun.
    bool addAttributeSetting(const QString &key, const QString &value);

private:
    friend class CComposite;

    void linkWidgets();

    QPointer<HNode> m_node;
    QString m_name;
    QString m_type;
    QString m_elementType;
    quint32 m_id;
    CComposite *m_parentComposite = nullptr;
    CAttributes m_attributes;
    QPointer<TTransform> m_transform;
    QPointer<CControl> m_holder;
    NodeReference m_reference;
    QList<CWidgetRecord> m_widgetRecords;
    CWidgetRecord m_attributeRecord;
    QList<QPointer<WWidget>> m_widgets;
    QList<QRectF> m_fileGeometry;
    bool m_widgetsCreated = false;
};
