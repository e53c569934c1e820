#pragma once

#include "XmlHandler.h"

#include <QList>
#include <memory>

class CControl;

// Reads control definitions: each <Control> of a <Controls> list becomes a
// CControl with its name and type, one widget spec per element under its
// "widget" property and the attribute spec of its "attributes" property.
// Control templates and panel files share this vocabulary.
//
// With a name filter only the controls of that name are taken; an empty
// filter takes every control. The caller takes the controls it wants; the
// handler deletes what is left.
class XControlHandler : public XmlHandler
{
public:
    static const char *const ControlsElement;
    static const char *const ControlElement;
    static const char *const PropertyElement;
    static const char *const WidgetProperty;
    static const char *const AttributesProperty;

    XControlHandler();
    ~XControlHandler() override;

    void setFilter(const QString &name) { m_filter = name; }
    QString filter() const { return m_filter; }
    // The controls read so far, in file order; they become the caller's.
    QList<CControl *> takeControls();

    // The definition of the control named name in a template file, or null
    // when the file cannot be read or holds no such control. The caller owns
    // the result.
    static CControl *readControl(const QString &templatePath, const QString &name);

    bool startDocument() override;
    bool startElement(const QString &namespaceURI, const QString &localName, const QString &qName,
                      const QXmlAttributes &atts) override;
    bool endElement(const QString &namespaceURI, const QString &localName,
                    const QString &qName) override;
    bool characters(const QString &ch) override;

private:
    enum class Section { None, Widget, Attributes };

    void startControl(const QXmlAttributes &atts);
    void startProperty(const QXmlAttributes &atts);
    void startPropertyElement(const QString &element);
    void endSetting(const QString &key);
    void endControl();
    bool inSetting() const;

    QString m_filter;
    QList<CControl *> m_controls;
    std::unique_ptr<CControl> m_active;
    // Depths of the open control and property elements; 0 when none is open.
    int m_controlDepth = 0;
    int m_propertyDepth = 0;
    Section m_section = Section::None;
    QString m_value;
};
