#pragma once

#include "CControl.h"
#include "HNode.h"
#include "PProtocol.h"
#include "TTransform.h"

#include <QPointer>
#include <QQuickItem>
#include <QRectF>
#include <QString>
#include <QVariant>

class CAttributes;
class CComposite;
class MModel;
class WHoldOff;
class XmlWriter;

// Base of every panel widget. A widget lives inside its QML file as the child
// object "widget" of the file's root item, which it drives by property
// names. It keeps its place inside its control as fractions of the control's
// rectangle, reads and writes the shared settings, and is where user
// gestures, values for the device and device reports meet.
class WWidget : public QQuickItem
{
    Q_OBJECT
public:
    explicit WWidget(QQuickItem *parent = nullptr);
    ~WWidget() override;

    virtual void initialize(QQuickItem *item);
    virtual void destroy();
    virtual void setAttributes(const CAttributes &attributes);
    virtual void completeSetup();
    virtual void setCanvasItem(QQuickItem *item);
    virtual bool writeXml(XmlWriter &writer);
    virtual bool processProperty(const QString &name, const QString &value);
    virtual void scaleGeometry(double factor, bool both);
    virtual void moveBy(const QPointF &offset);
    virtual void placeIn(const QRectF &rect);
    virtual void resizeIn(const QRectF &oldRect, const QRectF &newRect);
    virtual void reshape();
    virtual void refresh();
    virtual bool acceptDrop(const QString &text, const QString &data);
    virtual void setText(const QString &text);
    virtual void attachControl(CControl *control);
    virtual CControl *siteControl() const;
    virtual void setControl(CControl *control);
    virtual void setNode(HNode *node);
    virtual void setTransform(TTransform *transform);
    virtual void setItemVisible(bool visible);
    virtual void setTargetNode(HNode *node);
    virtual QRectF geometry() const;
    virtual bool isType(const QString &keyword) const;
    // The command hook: a command button hands its command text to the
    // widget it is linked to. Only widgets that take commands act on it.
    virtual void runCommand(const QString &command);
    virtual bool hasProperties() const;
    virtual void editProperties(CAttributes *attributes);
    virtual bool hasDisplayName() const;
    virtual void dump() const;
    // Lets a status lamp follow the model's connection indicator.
    virtual void enableConnectionIndicator(MModel *model);
    virtual void detach();
    virtual void linkValue(WWidget *source);
    // Once every widget of the panel exists: a link above PeerLinkBase names
    // widget (link - PeerLinkBase) of a peer control, another control of the
    // panel bound to the same block (a speed-dial key and its dialer).
    virtual void bindToPanel(CComposite *panel);
    static constexpr quint32 PeerLinkBase = 32768;

    QQuickItem *item() const { return m_item; }
    void setItem(QQuickItem *item) { m_item = item; }
    QString type() const { return m_type; }
    void setType(const QString &type) { m_type = type; }
    quint32 widgetId() const { return m_id; }
    quint32 link() const { return m_link; }
    QRectF fractions() const { return QRectF(m_fx, m_fy, m_fw, m_fh); }
    WWidget *linkedWidget() const { return m_linkedWidget; }
    void setLinkedWidget(WWidget *widget);
    TTransform *transform() const { return m_transform; }
    PProtocol *protocol() const { return m_protocol; }
    void setProtocol(PProtocol *protocol);
    HNode *node() const { return m_node; }
    CControl *control() const { return m_control; }
    bool isOutputEnabled() const { return m_outputEnabled; }
    bool isLinking() const { return m_linking; }

    // Tooltip and tree name: "<parent node> : <node>[:<band>]".
    QString displayName() const;

    // Item properties by name; nothing happens (and getters give empty
    // values) without an item.
    void setItemProperty(const char *name, const QVariant &value);
    QVariant itemProperty(const char *name) const;
    void setColorProperty(const char *name, const QString &text);
    // "#AARRGGBB".
    QString colorPropertyText(const char *name) const;
    static QString toFileUrlText(const QString &path);

    Q_INVOKABLE QString getToolTip(bool hover) const;

public slots:
    void outputValue(int value);
    void outputChecked(bool state);
    void outputCurrentIndex(int index);
    void outputCurrentText(const QString &text);
    void onTextChanged();
    virtual void onOnlineStateChanged(bool online);
    // QML: a press ended without a release (the mouse grab was lost, the
    // item was hidden or disabled under the finger).
    void outputCanceled();

protected:
    // The geometry keys x, y, z, width, height; true when taken.
    bool processRect(const QString &name, const QString &value);
    bool processIdAndLink(const QString &name, const QString &value);
    bool processFractions(const QString &name, const QString &value);
    void writeSharedKeys(XmlWriter &writer) const;
    // The same, with the geometry given instead of the item's.
    void writeSharedKeys(XmlWriter &writer, const QRectF &geometry) const;

    // A value from the user may go to the device: only with an item, a
    // transform and a protocol, not while a linked widget's value is being
    // applied, nor while a device value is shown.
    bool mayOutput() const;
    // Stores nothing itself: the caller has already put the value into the
    // transform; this hands it to the protocol.
    bool sendTransform();
    // As sendTransform, and a value that left opens holdOff, so that the
    // device's echo of an older value does not undo the user's change. A
    // value that did not leave (offline, no interface, no attributes) opens
    // nothing: the caller shows the state from before the change again, so
    // that the panel never shows what the device was not told.
    bool sendHeld(WHoldOff &holdOff);

    // A gesture (a press, a drag) that the widget accepted and that has not
    // ended yet. One that never ends by itself (the panel is flipped, the
    // item is hidden or disabled, the mouse grab is lost, the widget goes)
    // is ended as if released, so that no device is left half way through
    // a press: cancelGesture() calls finishGesture() for it.
    void beginGesture() { m_gestureActive = true; }
    // Ends the gesture; false when none was active.
    bool endGesture();
    bool isGestureActive() const { return m_gestureActive; }
    void cancelGesture();
    // Completes an unfinished gesture the way its release would. Base:
    // nothing.
    virtual void finishGesture();
    // Shows a device value without echoing it back, and mirrors it on the
    // linked widget.
    void showDeviceValue(const char *property, const QVariant &value);
    // The mirror side: applies a peer's value unless it is already shown.
    void applyLinkedValue(WWidget *source, const char *property, const QVariant &value);
    void passToLinked();

    QPointer<QQuickItem> m_item;
    QString m_type;
    double m_fx = 0.0;
    double m_fy = 0.0;
    double m_fw = 1.0;
    double m_fh = 1.0;
    quint32 m_id = 0;
    quint32 m_link = 0;
    bool m_linking = false;
    bool m_outputEnabled = true;
    bool m_gestureActive = false;
    // The objects a widget uses belong to others and may go first.
    QPointer<WWidget> m_linkedWidget;
    QPointer<TTransform> m_transform;
    QPointer<PProtocol> m_protocol;
    QPointer<HNode> m_node;
    QPointer<CControl> m_control;
};
