#pragma once

#include "CComposite.h"
#include "CPanelFile.h"
#include "CheckFinding.h"
#include "HRoot.h"
#include "UArchive.h"

#include <QStandardItemModel>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A control-panel file or archive opened the way the program opens it, but
// into objects of its own: an archive is extracted into a scratch folder
// that goes with this object, its design project is read into a hardware
// tree, and the panel file fills a document whose controls are bound to
// that tree and hold their transforms. Nothing is shown and nothing is
// connected.
class CheckDocument
{
public:
    CheckDocument();
    ~CheckDocument();
    CheckDocument(const CheckDocument &) = delete;
    CheckDocument &operator=(const CheckDocument &) = delete;

    // False when the file cannot be read as a panel file or archive; the
    // reason is in error().
    bool open(const QString &path);
    QString error() const { return m_error; }

    QString path() const { return m_path; }
    // The archive the file was, or null for a plain panel file.
    const UArchive *archive() const { return m_isArchive ? &m_archive : nullptr; }
    // The folder of a plain panel file; empty for an archive.
    QString panelFolder() const;

    CComposite *document() { return &m_document; }
    // The panels of every scene, and the controls of every panel, in file
    // order.
    QList<CComposite *> panels() const;
    QList<CControl *> controls() const;
    HRoot *hardware() { return m_hardware.get(); }
    bool hasDesign() const { return m_hasDesign; }
    // Why the design project was not read completely; empty when it was (or
    // when there is none).
    QString designProblem() const { return m_designProblem; }
    const QList<CPanelFile::RepeatedId> &repeatedIds() const { return m_repeatedIds; }
    // The id the file stores for a control. The reader gives a control that
    // repeats an earlier one's id a new one, but whoever reads the file
    // knows it by the stored id.
    quint32 storedId(const CControl *control) const;
    // A finding about a control, placed at its scene and panel.
    CheckFinding findingAt(const CControl *control, CheckFinding::Kind kind, const QString &message) const;

private:
    // The tree of the design, whose warnings are kept for the report.
    class Hardware : public HRoot
    {
    public:
        void reportWarning(const QString &title, const QString &text) override;
        QString warning;
    };

    bool fail(const QString &reason);
    bool openArchive(QString *panelPath);

    // Declared first, so that it goes last, after everything read from it.
    std::unique_ptr<QTemporaryDir> m_scratch;
    UArchive m_archive;
    std::unique_ptr<Hardware> m_hardware;
    // The tree model the design tool offers parameters from; building it
    // gives every node the parameters of its template.
    QStandardItemModel m_model;
    CComposite m_document;
    QString m_path;
    QString m_error;
    QString m_designProblem;
    bool m_isArchive = false;
    bool m_hasDesign = false;
    QList<CPanelFile::RepeatedId> m_repeatedIds;
};
