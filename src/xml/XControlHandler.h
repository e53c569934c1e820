#pragma once

#include "CConnection.h"
#include "XmlHandler.h"

#include <QList>
#include <QVector>
#include <memory>

class CCanvas;
class CComposite;
class CControl;
class MProject;

// Reads control definitions and panel files, which share one vocabulary:
// each <Control> of a <Controls> list becomes a CControl with its name and
// type, one widget record per element under its "widget" property and the
// attribute record (and attributes) of its "attributes" property.
//
// Templates: with a name filter only the controls of that name are taken;
// an empty filter takes every control. The caller takes the controls it
// wants; the handler deletes what is left.
//
// Panel files: given the targets, the handler also reads the Project into
// the project record, the Canvas into the canvas, the Version, each
// Connection, and Scenes > Scene > Panels > Panel > Controls into scenes and
// panels under the document root, each control with its node reference and
// stored id. The name of the file's root element does not matter. A control
// whose id an earlier control of the file already has gets a new one.
class XControlHandler : public XmlHandler
{
public:
    XControlHandler();
    ~XControlHandler() override;

    void setFilter(const QString &name) { m_filter = name; }
    QString filter() const { return m_filter; }
    // The controls read outside any panel so far, in file order; they
    // become the caller's.
    QList<CControl *> takeControls();

    // The definition of the control named name in a template file, or null
    // when the file cannot be read or holds no such control. The caller owns
    // the result.
    static CControl *readControl(const QString &templatePath, const QString &name);

    // Targets of a panel file's sections, not owned; a section without a
    // target is passed over.
    void setDocument(CComposite *root) { m_document = root; }
    void setCanvas(CCanvas *canvas) { m_canvas = canvas; }
    void setProject(MProject *project) { m_project = project; }
    QString fileVersion() const { return m_fileVersion; }
    // Whether the file had the Scenes or Canvas of a panel file.
    bool hasPanelSections() const { return m_panelSections; }
    const QList<CConnection> &connections() const { return m_connections; }
    // The panel controls of the file read last whose stored id an earlier
    // control already had, each with that id; they carry new ids now.
    const QList<QPair<CControl *, quint32>> &repeatedIds() const { return m_repeatedIds; }

    bool startDocument() override;
    bool endDocument() override;
    bool startElement(const QString &namespaceURI, const QString &localName, const QString &qName,
                      const QXmlAttributes &atts) override;
    bool endElement(const QString &namespaceURI, const QString &localName,
                    const QString &qName) override;
    bool characters(const QString &ch) override;

private:
    enum class Section { None, Widget, Attributes };
    // The panel-file sections whose leaves go to one owner.
    enum class Block { None, Project, Version, Canvas, Connection };

    void startStructure(const QString &qName, const QXmlAttributes &atts);
    void startControl(const QXmlAttributes &atts);
    void startInControl(const QString &qName, const QXmlAttributes &atts);
    void startBlock(Block block, const QXmlAttributes &atts);
    void startProperty(const QXmlAttributes &atts);
    void startPropertyElement(const QString &element);
    void startScene(const QXmlAttributes &atts);
    void startPanel(const QXmlAttributes &atts);
    void leaf(const QString &key, const QString &value);
    void controlLeaf(const QString &key, const QString &value);
    void blockLeaf(const QString &key, const QString &value);
    void endStructure();
    void endControl();
    void remapRepeatedIds();

    QString m_filter;
    QList<CControl *> m_controls;
    std::unique_ptr<CControl> m_active;
    // Depths of the open control, property and block elements; 0 when none
    // is open.
    int m_controlDepth = 0;
    int m_propertyDepth = 0;
    int m_blockDepth = 0;
    Section m_section = Section::None;
    Block m_block = Block::None;
    // Per open element: whether a child element began in it. An element
    // without children is a leaf whose text is a value.
    QVector<bool> m_hasChild;
    QString m_text;

    CComposite *m_document = nullptr;
    CCanvas *m_canvas = nullptr;
    MProject *m_project = nullptr;
    CComposite *m_scene = nullptr;
    CComposite *m_panel = nullptr;
    int m_sceneDepth = 0;
    int m_panelDepth = 0;
    QString m_panelKind;
    QString m_fileVersion;
    bool m_panelSections = false;
    CConnection m_connection;
    QString m_chassisName;
    QList<CConnection> m_connections;
    // The panel controls of the file in file order, and whether each came
    // with an id of its own.
    QList<QPair<CControl *, bool>> m_panelControls;
    bool m_activeHasStoredId = false;
    QList<QPair<CControl *, quint32>> m_repeatedIds;
};
