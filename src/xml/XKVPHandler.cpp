#include "XKVPHandler.h"

#include "HChassis.h"
#include "HGroup.h"
#include "HRoot.h"
#include "KvrLogging.h"
#include "MProject.h"

namespace {
const QLatin1String ProjectElement("Project");
const QLatin1String ProjectInfoElement("ProjectInfo");
const QLatin1String NodesElement("Nodes");
const QLatin1String NodeElement("Node");
const QLatin1String LogicViewElement("LogicView");
const QLatin1String AssignmentElement("Assignment");
const QLatin1String PropertyElement("Property");
const QLatin1String AssignElement("Assign");
const QLatin1String LogicTitle("Logic");
const char *const ManufacturerSite = "https://www.halvern.com/korvel";

// The project-wide kinds: the element that defines one, and the list that
// holds the definitions. Inside Assignment the same element names the
// object's members.
struct ProjectKind
{
    const char *element;
    const char *list;
};
const ProjectKind ProjectKinds[] = {
    {"Group", "Groups"},
    {"RCGroup", "RCGroups"},
    {"ParameterSet", "ParameterSets"},
    {"PanelList", "ParameterSetLists"},
};

const ProjectKind *projectKind(const QString &element)
{
    for (const ProjectKind &kind : ProjectKinds) {
        if (element == QLatin1String(kind.element))
            return &kind;
    }
    return nullptr;
}

QString kindOf(QString className)
{
    return className.remove(QStringLiteral("Halvern.Loom.Nodes.")).remove(QStringLiteral("Devices."));
}
} // namespace

XKVPHandler::XKVPHandler(HRoot *root, MProject *project, bool mergeMode)
    : m_root(root)
    , m_project(project)
    , m_mergeMode(mergeMode)
{
}

XKVPHandler::~XKVPHandler() = default;

bool XKVPHandler::versionAccepted(const QString &version)
{
    bool ok = false;
    const double number = version.trimmed().toDouble(&ok);
    // Parsed in double precision, "4.2" is exactly the bound.
    return ok && number >= MinimumVersion;
}

QString XKVPHandler::versionErrorTitle()
{
    return tr("Open Korvel Designer File Error");
}

QString XKVPHandler::versionErrorText(const QString &version)
{
    return tr("Korvel Remote builder cannot open this file. (version: ") + version
           + tr(")\n\nKorvel Designer files saved in a version earlier than Korvel v4.2 can't be "
                "opened. If your file is from an earlier version, please visit %1 to download "
                "the latest version of Korvel Designer.\n\nOnce you have installed the latest "
                "version of Korvel Designer, open the design file and re-save it. This will "
                "update the file to the newest format which can then be opened in Korvel Remote "
                "builder. Also ensure that your system devices have been updated to the latest "
                "firmware (System->Update Firmware). ")
                 .arg(QLatin1String(ManufacturerSite));
}

QString XKVPHandler::errorString() const
{
    return m_error.isEmpty() ? XmlHandler::errorString() : m_error;
}

bool XKVPHandler::startDocument()
{
    m_section = Section::None;
    m_sectionDepth = 0;
    m_node.reset();
    m_target = nullptr;
    m_activeChassis = nullptr;
    m_mainChassis = nullptr;
    m_skipDepth = 0;
    m_marksCleared = false;
    m_error.clear();
    return XmlHandler::startDocument();
}

bool XKVPHandler::characters(const QString &ch)
{
    if (collectText)
        text += ch;
    return true;
}

void XKVPHandler::skipElement()
{
    m_skipDepth = depth;
}

bool XKVPHandler::startElement(const QString &namespaceURI, const QString &localName,
                               const QString &qName, const QXmlAttributes &atts)
{
    XmlHandler::startElement(namespaceURI, localName, qName, atts);
    if (m_skipDepth > 0)
        return true;

    if (depth == 1)
        return checkVersion(atts);
    if (qName == LogicViewElement && m_node && m_node->title() == LogicTitle) {
        skipElement();
        return true;
    }

    if (m_section == Section::None) {
        const ProjectKind *kind = projectKind(qName);
        if (qName == ProjectInfoElement) {
            startSection(Section::ProjectInfo);
        } else if (qName == NodesElement) {
            // Every node that the file still holds is marked again below.
            if (m_mergeMode && !m_marksCleared)
                m_root->clearState(true);
            m_marksCleared = true;
        } else if (qName == NodeElement && parentElement() == NodesElement) {
            startNode(atts);
        } else if (kind && parentElement() == QLatin1String(kind->list)) {
            startDefinition(qName, atts);
        } else if (kind && parentElement() == AssignmentElement) {
            startAssignment(qName, atts);
        }
        return true;
    }

    if (qName == NodeElement) {
        qCDebug(lcXml) << "XKVPHandler - a node inside another node's element is passed over";
        skipElement();
        return true;
    }
    readInSection(qName, atts);
    return true;
}

bool XKVPHandler::checkVersion(const QXmlAttributes &atts)
{
    if (currentElement() != ProjectElement) {
        m_error = QStringLiteral("The file is no design project: its document element is %1")
                      .arg(currentElement());
        return false;
    }
    const QString version = attributeValue(QStringLiteral("version"), atts);
    if (versionAccepted(version))
        return true;
    m_error = QStringLiteral("Design project version \"%1\" is older than 4.2").arg(version);
    m_root->reportWarning(versionErrorTitle(), versionErrorText(version));
    return false;
}

void XKVPHandler::startSection(Section section)
{
    m_section = section;
    m_sectionDepth = depth;
}

void XKVPHandler::startNode(const QXmlAttributes &atts)
{
    startSection(Section::Definition);
    m_node.reset(m_factory.create(kindOf(attributeValue(QStringLiteral("className"), atts)),
                                  attributeValue(QStringLiteral("cardType"), atts)));
    if (!m_node)
        return;
    m_node->setTypenum(attributeValue(QStringLiteral("typeNumber"), atts));
    m_node->setPortIndex(attributeValue(QStringLiteral("portIndex"), atts).toInt());
    bool ok = false;
    const int pin = attributeValue(QStringLiteral("pinIndex"), atts).toInt(&ok);
    if (ok)
        m_node->setPinIndex(pin);
    m_node->setFlag(HNode::Removable, false);
}

void XKVPHandler::startDefinition(const QString &kind, const QXmlAttributes &atts)
{
    startSection(Section::Definition);
    m_node.reset(m_factory.create(kind));
    if (!m_node) {
        qCDebug(lcXml).noquote() << "XKVPHandler - Failed to create the node of a" << kind;
        return;
    }
    const QString id = attributeValue(QStringLiteral("id"), atts);
    m_node->setId(id);
    if (m_groupCheck && qobject_cast<HGroup *>(m_node.get()))
        m_node->setModelNames(m_amplifiers.modelNames(id));
}

HNode *XKVPHandler::assignmentTarget(const QString &kind, const QString &id) const
{
    if (kind == QLatin1String("RCGroup")) {
        // Room-combine groups are numbered; "01" names group 1.
        bool ok = false;
        const int number = id.toInt(&ok);
        if (!ok || number < 1)
            return nullptr;
        QList<HNode *> groups;
        m_root->collectByCategory(HNode::rcGroupsCategory(), groups);
        for (HNode *group : std::as_const(groups)) {
            if (group->id().toInt() == number)
                return group;
        }
        return nullptr;
    }
    const QString category = kind == QLatin1String("Group")          ? HNode::groupsCategory()
                             : kind == QLatin1String("ParameterSet") ? HNode::parameterSetsCategory()
                                                                   : HNode::parameterSetListsCategory();
    return m_root->findByCategoryAndAttribute(category, QStringLiteral("id"), id);
}

void XKVPHandler::startAssignment(const QString &kind, const QXmlAttributes &atts)
{
    startSection(Section::Assignment);
    const QString id = attributeValue(QStringLiteral("id"), atts);
    m_target = assignmentTarget(kind, id);
    if (m_target)
        m_target->setFlag(HNode::Removable, false);
    else
        m_missingTarget = kind + QLatin1Char(' ') + id;
}

void XKVPHandler::readInSection(const QString &name, const QXmlAttributes &atts)
{
    switch (m_section) {
    case Section::Definition:
        if (name == PropertyElement && m_node)
            m_node->parseProperty(atts);
        break;
    case Section::Assignment:
        if (name != AssignElement)
            break;
        if (m_target)
            m_target->parseTarget(atts, m_mergeMode);
        else
            qCDebug(lcXml).noquote() << "XKVPHandler - Assign to"
                                     << attributeValue(QStringLiteral("targetID"), atts)
                                     << "ignored: the file defines no" << m_missingTarget;
        break;
    case Section::ProjectInfo:
        if (depth == m_sectionDepth + 1) {
            m_infoSection = name;
            if (m_project)
                m_project->setFromAttributes(name, atts);
        } else if (depth == m_sectionDepth + 2) {
            text.clear();
            collectText = 1;
        }
        break;
    case Section::None:
        break;
    }
}

bool XKVPHandler::endElement(const QString &namespaceURI, const QString &localName,
                             const QString &qName)
{
    const int closing = depth;
    if (m_skipDepth > 0) {
        if (closing == m_skipDepth)
            m_skipDepth = 0;
    } else if (m_section != Section::None && closing == m_sectionDepth) {
        endSection();
    } else if (m_section == Section::ProjectInfo && closing == m_sectionDepth + 2 && m_project) {
        m_project->setField(m_infoSection, qName, simplifiedText(text));
    }
    return XmlHandler::endElement(namespaceURI, localName, qName);
}

void XKVPHandler::endSection()
{
    if (m_section == Section::Definition && m_node)
        finishNode();
    m_section = Section::None;
    m_sectionDepth = 0;
    m_node.reset();
    m_target = nullptr;
    m_missingTarget.clear();
}

void XKVPHandler::finishNode()
{
    std::unique_ptr<HNode> node = std::move(m_node);
    if (node->finishLoading()) {
        attach(std::move(node));
        return;
    }
    // A dropped device takes the nodes that follow it along, up to the next
    // device that is kept.
    if (qobject_cast<HChassis *>(node.get()))
        m_activeChassis = nullptr;
}

void XKVPHandler::attach(std::unique_ptr<HNode> node)
{
    if (auto *device = qobject_cast<HChassis *>(node.get())) {
        attachDevice(std::move(node), device);
        return;
    }
    HComposite *parent = node->chooseParent(m_mainChassis, m_activeChassis);
    if (!parent) {
        qCDebug(lcXml).noquote() << (m_activeChassis ? "Failed to select chassis to attach node."
                                                     : "ActiveChassis is null. Deleting parsed node.");
        return;
    }
    HNode *kept = nullptr;
    if (m_mergeMode) {
        // A card knows its category, by which its counterpart is found, only
        // from the family of the device it hangs under.
        node->setParentNode(parent);
        kept = node->findCounterpart(parent);
    }
    if (kept) {
        parent->moveToEnd(kept);
    } else if (parent->addNode(node.get())) {
        kept = node.release();
    } else {
        return;
    }
    kept->setFlag(HNode::Removable, false);
    kept->setFlag(HNode::InDesign);
    parent->registerNode(kept);
}

void XKVPHandler::attachDevice(std::unique_ptr<HNode> node, HChassis *device)
{
    const bool main = device->testFlag(HNode::MainProcessor);
    if (device->title().contains(QLatin1String("PQX"))) {
        qCDebug(lcXml) << "Found PQX. Activating Group/Chassis check.";
        m_groupCheck = true;
    }
    if (m_mergeMode) {
        if (auto *known = qobject_cast<HChassis *>(device->findCounterpart(m_root))) {
            known->setFlag(HNode::InDesign);
            known->setFlag(HNode::Removable, false);
            // Its blocks enter again as the file names them.
            known->blockRegistry().clear();
            device = known;
        }
    }
    if (device == node.get()) {
        m_root->addNode(device);
        device->setFlag(HNode::InDesign);
        node.release();
    }
    m_activeChassis = device;
    if (main)
        m_mainChassis = device;
}
