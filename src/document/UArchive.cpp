#include "UArchive.h"

#include "KvrLogging.h"
#include "UArchiveHeaderRecord.h"
#include "USettings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QtEndian>
#include <memory>

namespace {
const QLatin1String ArchiveFolder("Archive");
const QLatin1String ArchiveSuffix(".cpz");
const QLatin1String PanelSuffix(".cpf");

// Where the file name starts in a path with either kind of separator.
qsizetype fileNameStart(const QString &path)
{
    return qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
}
} // namespace

UArchive *UArchive::instance()
{
    // Kept until the process ends, like the extracted files it names.
    static UArchive *archive = new UArchive;
    return archive;
}

bool UArchive::isArchive(const QString &path)
{
    QFile file(path);
    uchar bytes[4];
    if (!file.open(QIODevice::ReadOnly) || file.read(reinterpret_cast<char *>(bytes), 4) != 4)
        return false;
    const quint32 word = qFromLittleEndian<quint32>(bytes);
    return (word & 0x3C000000u) != 0x3C000000u && (word & 0x3Cu) != 0x3Cu;
}

bool UArchive::open(const QString &path)
{
    if (!isArchive(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcDocument) << "Cannot open the archive" << path << ":" << file.errorString();
        return false;
    }
    m_header.setWorkFolder(workFolder());
    if (!m_header.read(file))
        return false;
    // Leftovers that cannot be removed are replaced or left beside the
    // members; only a folder that cannot be made, or one that is still a
    // link, stops the extraction.
    if (!m_header.emptyWorkFolder()) {
        const QFileInfo folder(m_header.workFolder());
        if (!folder.isDir() || folder.isSymLink() || folder.isJunction()) {
            clear();
            return false;
        }
    }
    if (!m_header.extract(file)) {
        qCWarning(lcDocument) << "The archive" << path << "is corrupt; nothing was opened.";
        m_header.emptyWorkFolder();
        clear();
        return false;
    }
    m_path = path;
    return true;
}

void UArchive::clear()
{
    m_path.clear();
    m_header.clear();
}

QString UArchive::memberPath(const QString &extension) const
{
    if (extension.isEmpty())
        return QString();
    for (const UArchiveHeaderRecord *record : m_header.records()) {
        if (record->name().endsWith(extension, Qt::CaseInsensitive))
            return record->filePath();
    }
    for (const UArchiveHeaderRecord *record : m_header.records()) {
        if (record->name().contains(extension, Qt::CaseInsensitive))
            return record->filePath();
    }
    return QString();
}

QUrl UArchive::memberUrl(const QString &fileName) const
{
    QString wanted = fileName;
    wanted.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!wanted.startsWith(QLatin1Char('/')))
        wanted.prepend(QLatin1Char('/'));
    const QString lastSegment = wanted.mid(wanted.lastIndexOf(QLatin1Char('/')));
    if (lastSegment.size() < 2)
        return QUrl();
    if (const UArchiveHeaderRecord *record = m_header.findRecord(wanted))
        return QUrl::fromLocalFile(record->filePath());
    for (const UArchiveHeaderRecord *record : m_header.records()) {
        if (record->name().endsWith(lastSegment))
            return QUrl::fromLocalFile(record->filePath());
    }
    return QUrl();
}

bool UArchive::addFile(const QString &path, const QString &subfolder)
{
    if (path.contains(QLatin1String("../")) || path.contains(QLatin1String("..\\"))) {
        qCWarning(lcDocument) << "Refused to archive" << path << "- it steps out of its folder.";
        return false;
    }
    const QFileInfo info(path);
    if (!info.isFile()) {
        qCWarning(lcDocument) << "Refused to archive" << path << "- no such file.";
        return false;
    }
    QString folder = subfolder;
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (folder.startsWith(QLatin1Char('/')))
        folder.remove(0, 1);
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const QString name = QLatin1Char('/') + (folder.isEmpty() ? QString() : folder + QLatin1Char('/'))
                         + info.fileName();
    if (!UArchiveHeader::isSafeMemberName(name)) {
        qCWarning(lcDocument) << "Refused to archive" << path << "as" << name;
        return false;
    }
    if (m_header.findRecord(name)) {
        qCWarning(lcDocument) << "The archive already holds" << name;
        return false;
    }
    m_header.addRecord(info.absoluteFilePath(), name);
    return true;
}

bool UArchive::write(const QString &archivePath)
{
    QSaveFile file(archivePath);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcDocument) << "Cannot write the archive" << archivePath << ":" << file.errorString();
        return false;
    }
    if (!m_header.write(file)) {
        qCWarning(lcDocument) << "Writing the archive" << archivePath << "failed; the file was left as it was.";
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString UArchive::workFolder() const
{
    if (m_archiveRoot)
        return workFolderFor(*m_archiveRoot);
    const std::unique_ptr<QSettings> settings(USettings::create());
    return workFolderFor(settings->value(QLatin1String(USettings::ArchiveKey)).toString());
}

QString UArchive::workFolderFor(const QString &root)
{
    QString folder = root;
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // Without a stored folder the archive gets a folder of our own rather
    // than one at the root of the file system.
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + ArchiveFolder;
}

QString UArchive::archiveNameFor(const QString &panelFile)
{
    const qsizetype dot = panelFile.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= fileNameStart(panelFile) ? panelFile.left(dot) : panelFile;
    return stem + ArchiveSuffix;
}

QString UArchive::panelFileNameFor(const QString &archivePath)
{
    const qsizetype suffix = archivePath.lastIndexOf(ArchiveSuffix, -1, Qt::CaseInsensitive);
    if (suffix < fileNameStart(archivePath))
        return QString();
    return archivePath.left(suffix) + PanelSuffix;
}

bool UArchive::removePanelFile(const QString &archivePath)
{
    const QString panelFile = panelFileNameFor(archivePath);
    return !panelFile.isEmpty() && QFile::remove(panelFile);
}
