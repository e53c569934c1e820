#include "CheckPanels.h"

#include "CheckDocument.h"
#include "CComposite.h"
#include "CSpecialControls.h"
#include "HChassis.h"
#include "IInterfaceFactory.h"
#include "TTransform.h"
#include "TTransformFactory.h"
#include "WButtonImages.h"
#include "WWidgetFactory.h"

#include <QFile>
#include <QJsonObject>
#include <QUrl>
#include <memory>

namespace {
constexpr auto quoted = &CheckFinding::quoted;

CComposite *asComposite(CControl *control)
{
    return qobject_cast<CComposite *>(control);
}

QJsonObject referenceJson(const CControl::NodeReference &reference)
{
    return QJsonObject{{QStringLiteral("block"), reference.block},
                       {QStringLiteral("nodeID"), reference.nodeID},
                       {QStringLiteral("nodeCategory"), reference.category},
                       {QStringLiteral("connection"), reference.connection}};
}

QString referenceText(const CControl::NodeReference &reference)
{
    return QStringLiteral("block %1, nodeID %2, nodeCategory %3, connection %4")
        .arg(quoted(reference.block))
        .arg(reference.nodeID)
        .arg(quoted(reference.category), quoted(reference.connection));
}

// A decoration or system control (a label, a frame, the setup button ...)
// as the engineer places it: it stands for no parameter.
bool isSpecial(const CControl *control)
{
    const QString type = CSpecialControls::typeFor(control->name());
    return !type.isEmpty() && type == control->type();
}

void appendDevices(HNode *node, QList<HChassis *> *devices)
{
    if (auto *chassis = qobject_cast<HChassis *>(node))
        devices->append(chassis);
    for (int i = 0; HNode *child = node->childAt(i); ++i)
        appendDevices(child, devices);
}
} // namespace

CheckPanels::CheckPanels(CheckDocument *document)
    : m_document(document)
    , m_locator(document->hardware())
{
    m_images.archive = document->archive();
    m_images.panelFolder = document->panelFolder();
}

QList<HChassis *> CheckPanels::devices(HNode *root)
{
    QList<HChassis *> list;
    if (root)
        appendDevices(root, &list);
    return list;
}

CComposite *CheckPanels::linkTarget(CComposite *document, const QString &name)
{
    if (!document || name.isEmpty())
        return nullptr;
    for (CControl *sceneControl : document->children()) {
        CComposite *scene = asComposite(sceneControl);
        if (!scene)
            continue;
        if (scene->name() == name && scene->childCount() > 0)
            return asComposite(scene->childAt(0));
        if (CComposite *panel = asComposite(scene->child(name)))
            return panel;
    }
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    if (slash <= 0)
        return nullptr;
    CComposite *scene = asComposite(document->child(name.left(slash)));
    return scene ? asComposite(scene->child(name.mid(slash + 1))) : nullptr;
}

CheckFinding CheckPanels::findingAt(const CControl *control, CheckFinding::Kind kind, const QString &message) const
{
    return m_document->findingAt(control, kind, message);
}

QList<CheckFinding> CheckPanels::run()
{
    m_findings.clear();
    if (!m_document->designProblem().isEmpty()) {
        CheckFinding finding;
        finding.kind = CheckFinding::Design;
        finding.message = m_document->designProblem();
        add(finding);
    }
    for (CControl *control : m_document->controls())
        checkControl(control);
    checkRepeatedIds();
    checkDevices();
    return m_findings;
}

void CheckPanels::checkControl(CControl *control)
{
    const CAttributes &attributes = control->attributes();
    const bool needsNode = !control->nodeReference().isEmpty() || !attributes.transform().isEmpty();
    if (needsNode && !control->node()) {
        CheckFinding finding = findingAt(control, CheckFinding::Unbound, QString());
        checkBinding(control, &finding);
        add(finding);
    } else if (control->node() && !attributes.transform().isEmpty() && !isSpecial(control)) {
        // Only a control with a transform operates a parameter; one that
        // is bound only to show its node's name needs none.
        checkParameter(control);
    }

    const QString keyword = attributes.transform();
    if (!keyword.isEmpty() && !std::unique_ptr<TTransform>(TTransformFactory::instance()->create(keyword))) {
        CheckFinding finding = findingAt(control, CheckFinding::UnknownTransform,
                                         QStringLiteral("no transform is called %1").arg(quoted(keyword)));
        finding.details.insert(QStringLiteral("transform"), keyword);
        add(finding);
    }
    for (const CWidgetRecord &record : control->widgetRecords())
        checkWidget(control, record);
}

void CheckPanels::checkBinding(const CControl *control, CheckFinding *finding)
{
    const CControl::NodeReference &reference = control->nodeReference();
    finding->details.insert(QStringLiteral("reference"), referenceJson(reference));
    if (reference.isEmpty()) {
        finding->message = QStringLiteral("bound to no node: it names none, but its transform %1 needs one")
                               .arg(quoted(control->attributes().transform()));
        return;
    }
    QString why;
    if (!m_document->hasDesign()) {
        why = QStringLiteral("the file brings no design project");
    } else if (const HNode *device = m_locator.device(reference.connection)) {
        const QString labelled = reference.block.isEmpty()
                                     ? QString()
                                     : QStringLiteral(" and none labelled %1").arg(quoted(reference.block));
        why = QStringLiteral("device %1 has no %2 node of nodeID %3%4")
                  .arg(quoted(device->label()), quoted(reference.category))
                  .arg(reference.nodeID)
                  .arg(labelled);
    } else {
        why = QStringLiteral("no device of the design has the connection %1").arg(quoted(reference.connection));
    }
    finding->message = QStringLiteral("bound to no node (%1): %2").arg(referenceText(reference), why);
}

void CheckPanels::checkParameter(const CControl *control)
{
    HNode *node = control->node();
    // Nodes the design tool does not show in its tree got no parameters
    // there; their templates still say what they offer.
    if (node->parameters().isEmpty())
        node->loadParameters();
    if (node->findParameter(control->name()))
        return;
    const QString what = node->parameters().isEmpty()
                             ? QStringLiteral("node %1 (%2) has no control template, so no parameter %3")
                             : QStringLiteral("node %1 (%2) offers no parameter %3 in its control template");
    CheckFinding finding = findingAt(control, CheckFinding::NoParameter,
                                     what.arg(quoted(node->label()), node->title(), quoted(control->name())));
    finding.details.insert(QStringLiteral("node"), node->label());
    finding.details.insert(QStringLiteral("title"), node->title());
    finding.details.insert(QStringLiteral("parameter"), control->name());
    add(finding);
}

void CheckPanels::checkWidget(const CControl *control, const CWidgetRecord &record)
{
    const QString element = record.element();
    auto known = m_qmlProblems.constFind(element);
    if (known == m_qmlProblems.constEnd()) {
        const QString file = WWidgetFactory::qmlFileFor(element);
        QString problem;
        if (file.isEmpty())
            problem = QStringLiteral("no widget kind is called %1").arg(quoted(element));
        else if (!QFile::exists(QLatin1Char(':') + QUrl(file).path()))
            problem = QStringLiteral("the QML file %1 of the widget kind %2 is not built in")
                          .arg(file, quoted(element));
        known = m_qmlProblems.insert(element, problem);
    }
    if (const QString &problem = *known; !problem.isEmpty()) {
        CheckFinding finding = findingAt(control, CheckFinding::NoQml, problem);
        finding.widget = element;
        add(finding);
    }

    if (element == QLatin1String("region") || element == QLatin1String("panellink"))
        checkLink(control, record);
    if (element == QLatin1String("image")) {
        checkImage(control, record, QStringLiteral("path"), record.value(QStringLiteral("path")));
    } else if (element == QLatin1String("panellink")) {
        // A link that shows its text shows no image.
        if (record.value(QStringLiteral("imagevalid")).trimmed() == QLatin1String("Image")) {
            const QString path = record.value(QStringLiteral("imagepath"));
            if (path.trimmed().isEmpty())
                checkImage(control, record, QStringLiteral("image"), record.value(QStringLiteral("image")));
            else
                checkImage(control, record, QStringLiteral("imagepath"), path);
        }
    } else if (element == QLatin1String("button")) {
        checkButtonImages(control, record);
    } else if (element == QLatin1String("cmdbutton")) {
        // A command button names a built-in image by its bare name.
        QString path = record.value(QStringLiteral("onimage")).trimmed();
        if (!path.isEmpty() && !path.contains(QLatin1Char('.')))
            path = QStringLiteral("../images/%1.png").arg(path);
        checkImage(control, record, QStringLiteral("onimage"), path);
    }
}

void CheckPanels::checkLink(const CControl *control, const CWidgetRecord &record)
{
    const QString target = record.value(QStringLiteral("path")).trimmed();
    if (linkTarget(m_document->document(), target))
        return;
    const QString message = target.isEmpty()
                                ? QStringLiteral("links to no panel: its path is empty")
                                : QStringLiteral("links to %1, which is no panel of the file").arg(quoted(target));
    CheckFinding finding = findingAt(control, CheckFinding::MissingPanel, message);
    finding.widget = record.element();
    finding.details.insert(QStringLiteral("target"), target);
    add(finding);
}

bool CheckPanels::isAvailable(const QString &path) const
{
    return path.trimmed().isEmpty() || !WImagePath::resolve(path, m_images, QString()).isEmpty();
}

void CheckPanels::checkButtonImages(const CControl *control, const CWidgetRecord &record)
{
    // A key names a picture of the skin (any skin has them all) or is a
    // path itself.
    for (const char *key : {"onimage", "offimage", "partialImage"}) {
        const QString value = record.value(QLatin1String(key)).trimmed();
        if (value.isEmpty() || WButtonImages::exists(WButtonImages::resolve(value, QStringLiteral("Light"),
                                                                            QStringLiteral("Blue"))))
            continue;
        checkImage(control, record, QLatin1String(key), value);
    }
}

void CheckPanels::checkImage(const CControl *control, const CWidgetRecord &record, const QString &key,
                             const QString &path)
{
    if (isAvailable(path))
        return;
    const QString where = m_document->archive() ? QStringLiteral("in the archive")
                                                : QStringLiteral("beside the panel file");
    CheckFinding finding = findingAt(control, CheckFinding::MissingImage,
                                     QStringLiteral("the image %1 (%2) is neither built in nor %3")
                                         .arg(quoted(path.trimmed()), key, where));
    finding.widget = record.element();
    finding.details.insert(QStringLiteral("key"), key);
    finding.details.insert(QStringLiteral("path"), path.trimmed());
    add(finding);
}

void CheckPanels::checkRepeatedIds()
{
    for (const CPanelFile::RepeatedId &repeated : m_document->repeatedIds()) {
        if (!repeated.control)
            continue;
        // The first control with the id kept it.
        const CControl *holder = m_document->document()->findById(repeated.storedId);
        QString message = QStringLiteral("stores the id %1, which an earlier control has").arg(repeated.storedId);
        if (holder) {
            const CheckFinding at = findingAt(holder, CheckFinding::DuplicateId, QString());
            message = QStringLiteral("stores the id %1 of control %2 (%3 / %4); what refers to %1 reaches that one")
                          .arg(repeated.storedId)
                          .arg(quoted(holder->name()), at.scene, at.panel);
        }
        add(findingAt(repeated.control, CheckFinding::DuplicateId, message));
    }
}

void CheckPanels::checkDevices()
{
    for (const HChassis *chassis : devices(m_document->hardware())) {
        QString problem;
        if (chassis->ipAddress().trimmed().isEmpty())
            problem = QStringLiteral("device %1 has no address").arg(quoted(chassis->label()));
        else if (IInterfaceFactory::portNumber(chassis->serialPort()) <= 0)
            problem = QStringLiteral("device %1 has no port number (serial port %2)")
                          .arg(quoted(chassis->label()), quoted(chassis->serialPort()));
        if (problem.isEmpty())
            continue;
        CheckFinding finding;
        finding.kind = CheckFinding::NoAddress;
        finding.device = chassis->label();
        finding.connection = chassis->connectionKey();
        finding.message = problem;
        finding.details.insert(QStringLiteral("address"), chassis->ipAddress());
        finding.details.insert(QStringLiteral("serialport"), chassis->serialPort());
        add(finding);
    }
}
