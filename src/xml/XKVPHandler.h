#pragma once

#include "HNodeFactory.h"
#include "XAmplifierLookup.h"
#include "XmlHandler.h"

#include <QCoreApplication>
#include <memory>

class HChassis;
class HComposite;
class HNode;
class HRoot;
class MProject;

// Reads a design project (*.kvp) into the hardware tree in one pass.
//
// The file's Nodes list holds the devices, each followed by its cards and
// blocks; the Groups, RCGroups, ParameterSets and ParameterSetLists lists
// define the project-wide objects, which hang under the main processor; the
// Assignment list then names their members. Every node reads its Property
// elements while its element is open and is checked, attached or dropped
// when the element ends. ProjectInfo goes to the project record.
//
// What the reader passes over: the inner design of a "Logic" block (its
// LogicView, however deeply nested), any Node that opens while another
// node's element is still open, and Assign elements of an assignment whose
// group, set or list the file does not define.
//
// In merge mode the tree already holds the design read before: every node
// that the file still holds is found again and marked, instead of being
// added a second time.
class XKVPHandler : public XmlHandler
{
    Q_DECLARE_TR_FUNCTIONS(XKVPHandler)
public:
    // Design files older than this cannot be read.
    static constexpr double MinimumVersion = 4.2;

    // root is the tree to fill (not null); project may be null.
    XKVPHandler(HRoot *root, MProject *project, bool mergeMode);
    ~XKVPHandler() override;

    // The whole file, kept for the look-up of the groups' amplifier models.
    void setRawXml(const QByteArray &rawXml) { m_amplifiers.setRawXml(rawXml); }
    const XAmplifierLookup &amplifiers() const { return m_amplifiers; }

    // Whether a Project "version" text is new enough; a missing or
    // malformed version reads as 0.
    static bool versionAccepted(const QString &version);
    // The title and text of the message that refuses an older file.
    static QString versionErrorTitle();
    static QString versionErrorText(const QString &version);

    bool startDocument() override;
    bool startElement(const QString &namespaceURI, const QString &localName, const QString &qName,
                      const QXmlAttributes &atts) override;
    bool endElement(const QString &namespaceURI, const QString &localName,
                    const QString &qName) override;
    bool characters(const QString &ch) override;
    QString errorString() const override;

private:
    enum class Section { None, Definition, Assignment, ProjectInfo };

    bool checkVersion(const QXmlAttributes &atts);
    void startSection(Section section);
    void startNode(const QXmlAttributes &atts);
    void startDefinition(const QString &kind, const QXmlAttributes &atts);
    void startAssignment(const QString &kind, const QXmlAttributes &atts);
    void readInSection(const QString &name, const QXmlAttributes &atts);
    void endSection();
    void finishNode();
    void attach(std::unique_ptr<HNode> node);
    void attachDevice(std::unique_ptr<HNode> node, HChassis *device);
    // The defined object that an assignment of this kind names; null if none.
    HNode *assignmentTarget(const QString &kind, const QString &id) const;
    // Everything inside the element just opened is passed over.
    void skipElement();

    HRoot *m_root;
    MProject *m_project;
    HNodeFactory m_factory;
    bool m_mergeMode;
    XAmplifierLookup m_amplifiers;

    Section m_section = Section::None;
    int m_sectionDepth = 0;
    // The node whose definition is open; the reader's own until attached.
    std::unique_ptr<HNode> m_node;
    // The object whose assignment is open; null when the file names none.
    HNode *m_target = nullptr;
    // The kind and id of an assignment whose object the file does not define.
    QString m_missingTarget;
    HChassis *m_activeChassis = nullptr;
    HChassis *m_mainChassis = nullptr;
    int m_skipDepth = 0;
    bool m_marksCleared = false;
    bool m_groupCheck = false;
    QString m_infoSection;
    QString m_error;
};
