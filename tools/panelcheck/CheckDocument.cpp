#include "CheckDocument.h"

#include <QFileInfo>

CheckDocument::CheckDocument()
    : m_hardware(std::make_unique<Hardware>())
    , m_document(QString(), QStringLiteral("Scenes"))
{
}

CheckDocument::~CheckDocument()
{
    // The controls let go of their transforms and nodes before the tree and
    // the scratch folder go.
    m_document.deactivate();
    m_document.clear();
    m_model.clear();
    m_hardware.reset();
}

void CheckDocument::Hardware::reportWarning(const QString &title, const QString &text)
{
    warning = title + QLatin1String(": ") + text;
}

bool CheckDocument::fail(const QString &reason)
{
    m_error = reason;
    return false;
}

QString CheckDocument::panelFolder() const
{
    return m_isArchive || m_path.isEmpty() ? QString() : QFileInfo(m_path).absolutePath();
}

bool CheckDocument::openArchive(QString *panelPath)
{
    m_scratch = std::make_unique<QTemporaryDir>();
    if (!m_scratch->isValid())
        return fail(QStringLiteral("no scratch folder to extract the archive into: %1")
                        .arg(m_scratch->errorString()));
    m_archive.setArchiveRoot(m_scratch->path());
    if (!m_archive.open(m_path))
        return fail(QStringLiteral("the file is not a readable control panel archive"));
    *panelPath = m_archive.memberPath(QStringLiteral(".cpf"));
    if (panelPath->isEmpty())
        return fail(QStringLiteral("the archive holds no control panel file"));
    const QString design = m_archive.memberPath(QStringLiteral(".kvp"));
    if (design.isEmpty())
        return true;
    m_hasDesign = true;
    if (!m_hardware->loadDesign(design)) {
        m_designProblem = m_hardware->warning.isEmpty()
                              ? QStringLiteral("the design project %1 could not be read completely")
                                    .arg(QFileInfo(design).fileName())
                              : m_hardware->warning;
    }
    return true;
}

bool CheckDocument::open(const QString &path)
{
    m_path = path;
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("no such file"));
    if (!info.isFile())
        return fail(QStringLiteral("not a file"));
    m_isArchive = UArchive::isArchive(path);
    QString panelPath = path;
    if (m_isArchive && !openArchive(&panelPath))
        return false;

    CPanelFile file(&m_document, nullptr, nullptr, m_hardware.get());
    if (!file.read(panelPath))
        return fail(file.errorString());
    m_repeatedIds = file.repeatedIds();
    m_document.activate(&m_document);
    m_hardware->buildModel(&m_model);
    return true;
}

quint32 CheckDocument::storedId(const CControl *control) const
{
    for (const CPanelFile::RepeatedId &repeated : m_repeatedIds) {
        if (repeated.control == control)
            return repeated.storedId;
    }
    return control->id();
}

CheckFinding CheckDocument::findingAt(const CControl *control, CheckFinding::Kind kind, const QString &message) const
{
    CheckFinding finding;
    finding.kind = kind;
    finding.control = control->name();
    finding.controlId = storedId(control);
    if (const CComposite *panel = control->parentComposite()) {
        finding.panel = panel->name();
        if (const CComposite *scene = panel->parentComposite())
            finding.scene = scene->name();
    }
    finding.message = message;
    return finding;
}

QList<CComposite *> CheckDocument::panels() const
{
    QList<CComposite *> panels;
    for (CControl *scene : m_document.children()) {
        if (const auto *composite = qobject_cast<CComposite *>(scene)) {
            for (CControl *panel : composite->children()) {
                if (auto *panelComposite = qobject_cast<CComposite *>(panel))
                    panels.append(panelComposite);
            }
        }
    }
    return panels;
}

QList<CControl *> CheckDocument::controls() const
{
    QList<CControl *> controls;
    for (const CComposite *panel : panels())
        controls += panel->children();
    return controls;
}
