#pragma once

#include "UArchiveHeader.h"

#include <QString>
#include <QUrl>
#include <optional>

// The control-panel archive (*.cpz): a panel file, its design project and the
// files its panels use, each compressed, in one file. Opening an archive
// extracts its members into the work folder, from where the rest of the
// program reads them.
class UArchive
{
public:
    static UArchive *instance();

    // An archive of its own; the process-wide one comes from instance().
    UArchive() = default;
    virtual ~UArchive() = default;
    UArchive(const UArchive &) = delete;
    UArchive &operator=(const UArchive &) = delete;

    // True when the file's first four bytes cannot start an XML file: neither
    // the first nor the fourth byte has all of the bits 0x3C ("<") set.
    static bool isArchive(const QString &path);

    // Reads the header and extracts every member into an emptied work folder.
    // False for a file that is not an archive or is truncated or corrupt; a
    // header that does not hold together, or breaks the bounds and naming
    // rules of UArchiveHeader::read, leaves the open archive as it was.
    bool open(const QString &path);
    QString path() const { return m_path; }
    const UArchiveHeader &header() const { return m_header; }
    // Forgets the archive and its members; extracted files stay until the
    // next open.
    void clear();

    // The extracted file of the first member whose name ends with the text
    // (".cpf", ".kvp"), regardless of case; failing that, of the first whose
    // name contains it. Empty when none does.
    QString memberPath(const QString &extension) const;
    // The local-file URL of the member stored under the file name (or, when
    // no name matches whole, of the first member with that last segment).
    QUrl memberUrl(const QString &fileName) const;

    // Adds a file as "/" + its name, or "/" + subfolder + "/" + its name.
    // Refused for paths with a "../" step, missing files, unsafe subfolders
    // and names the archive already holds.
    bool addFile(const QString &path, const QString &subfolder = QString());
    // Writes every member to a new archive file, replacing the file only when
    // the whole archive was written.
    bool write(const QString &archivePath);

    // The work folder: "Archive" under the folder stored as "Path/Archive",
    // or under the application's data folder when that is empty.
    QString workFolder() const;
    // Uses root instead of the stored "Path/Archive" folder from now on.
    void setArchiveRoot(const QString &root) { m_archiveRoot = root; }
    static QString workFolderFor(const QString &root);

    // "panel.cpf" → "panel.cpz", and back.
    static QString archiveNameFor(const QString &panelFile);
    static QString panelFileNameFor(const QString &archivePath);
    // Removes the panel file that was archived as archivePath.
    static bool removePanelFile(const QString &archivePath);

private:
    QString m_path;
    UArchiveHeader m_header;
    std::optional<QString> m_archiveRoot;
};
