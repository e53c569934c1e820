#pragma once

#include "CAttributes.h"
#include "CWidgetSpec.h"

#include <QList>
#include <QObject>
#include <QString>

class HNode;
class TTransform;

// A control of a panel: what its template or panel file says about it. Each
// element under its "widget" property becomes one widget spec, in file order,
// and the "range" or "list" element under its "attributes" property its
// attribute spec.
class CControl : public QObject
{
    Q_OBJECT
public:
    explicit CControl(const QString &name = QString(), const QString &type = QString(),
                      QObject *parent = nullptr);
    ~CControl() override = default;

    QString name() const { return m_name; }
    QString type() const { return m_type; }
    void setName(const QString &name) { m_name = name; }
    void setType(const QString &type) { m_type = type; }

    // The hardware node the control is bound to; not owned, null for
    // controls that only decorate.
    HNode *node() const { return m_node; }
    void setNode(HNode *node) { m_node = node; }
    CAttributes &attributes() { return m_attributes; }
    const CAttributes &attributes() const { return m_attributes; }
    // The value transform the control holds (shared through the transform
    // factory, not owned); null when it has none.
    TTransform *transform() const { return m_transform; }
    void setTransform(TTransform *transform) { m_transform = transform; }

    const QList<CWidgetSpec> &widgetSpecs() const { return m_widgetSpecs; }
    const CWidgetSpec &attributeSpec() const { return m_attributeSpec; }

    // Starts the next widget of the control; the settings that follow belong
    // to it.
    void beginWidgetSpec(const QString &element);
    // Adds a setting to the widget begun last; false when none was begun.
    bool addWidgetSetting(const QString &key, const QString &value);
    // A control has one attribute element; beginning another replaces it.
    void beginAttributeSpec(const QString &element);
    bool addAttributeSetting(const QString &key, const QString &value);

private:
    HNode *m_node = nullptr;
    QString m_name;
    QString m_type;
    CAttributes m_attributes;
    TTransform *m_transform = nullptr;
    QList<CWidgetSpec> m_widgetSpecs;
    CWidgetSpec m_attributeSpec;
};
