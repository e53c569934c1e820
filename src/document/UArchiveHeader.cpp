#include "UArchiveHeader.h"

#include "KvrLogging.h"
#include "UArchiveHeaderRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>
#include <QSet>
#include <limits>
#include <memory>
#include <vector>

UArchiveHeader::~UArchiveHeader()
{
    clear();
}

bool UArchiveHeader::emptyWorkFolder() const
{
    if (m_workFolder.isEmpty())
        return false;
    // A work folder that is itself a link is replaced by a folder of our
    // own: emptying it would empty whatever it points to.
    const QFileInfo self(m_workFolder);
    if ((self.isSymLink() || self.isJunction()) && !QFile::remove(m_workFolder)) {
        qCWarning(lcDocument) << "The archive folder" << m_workFolder << "is a link that cannot be removed.";
        return false;
    }
    QDir folder(m_workFolder);
    bool ok = true;
    const QFileInfoList entries =
        folder.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        // A link is removed as a link: what it points to is not ours.
        const bool removed = entry.isDir() && !entry.isSymLink()
                                 ? QDir(entry.filePath()).removeRecursively()
                                 : QFile::remove(entry.filePath());
        if (!removed) {
            qCWarning(lcDocument) << "Cannot remove" << entry.filePath() << "from the archive folder.";
            ok = false;
        }
    }
    return folder.mkpath(QStringLiteral(".")) && ok;
}

UArchiveHeaderRecord *UArchiveHeader::findRecord(const QString &name) const
{
    for (UArchiveHeaderRecord *record : m_records) {
        if (record->name() == name)
            return record;
    }
    return nullptr;
}

UArchiveHeaderRecord *UArchiveHeader::addRecord(const QString &filePath, const QString &name)
{
    auto *record = new UArchiveHeaderRecord(this);
    record->setFilePath(filePath);
    record->setName(name);
    m_records.append(record);
    return record;
}

void UArchiveHeader::clear()
{
    qDeleteAll(m_records);
    m_records.clear();
}

qint64 UArchiveHeader::byteSize() const
{
    qint64 bytes = FixedBytes;
    for (const UArchiveHeaderRecord *record : m_records)
        bytes += record->byteSize();
    return bytes;
}

bool UArchiveHeader::read(QIODevice &archive)
{
    // Without a work folder the member names would be taken from the root.
    if (m_workFolder.isEmpty())
        return false;
    const qint64 fileSize = archive.size();
    quint32 marker = 0;
    quint32 count = 0;
    if (!archive.seek(0) || !UArchiveHeaderRecord::readWord(archive, &marker)
        || !UArchiveHeaderRecord::readWord(archive, &count)) {
        qCWarning(lcDocument) << "The archive is too short for its header.";
        return false;
    }
    // Every record takes at least 12 bytes, so the file bounds the count
    // before anything is allocated for it.
    if (count > (fileSize - FixedBytes) / UArchiveHeaderRecord::FixedBytes) {
        qCWarning(lcDocument) << "The archive claims" << count << "members in" << fileSize << "bytes.";
        return false;
    }
    if (count > MaxMembers) {
        qCWarning(lcDocument) << "The archive holds" << count << "members; at most" << MaxMembers << "are read.";
        return false;
    }
    std::vector<std::unique_ptr<UArchiveHeaderRecord>> parsed;
    for (quint32 i = 0; i < count; ++i) {
        auto record = std::make_unique<UArchiveHeaderRecord>(this);
        if (!record->read(archive, fileSize)) {
            qCWarning(lcDocument) << "Archive record" << i << "is truncated or points past the end.";
            return false;
        }
        if (!isSafeMemberName(record->name())) {
            qCWarning(lcDocument) << "Archive member" << record->name()
                                  << "would land outside the archive folder; skipped.";
            continue;
        }
        record->setFilePath(m_workFolder + record->name());
        parsed.push_back(std::move(record));
    }
    qint64 total = 0;
    QList<const UArchiveHeaderRecord *> checked;
    for (const auto &record : parsed) {
        quint32 length = 0;
        if (!record->checkBlock(archive, &length))
            return false;
        total += length;
        checked.append(record.get());
    }
    if (total > MaxTotalBytes) {
        qCWarning(lcDocument) << "The archive's members would take" << total << "bytes; at most" << MaxTotalBytes
                              << "are extracted.";
        return false;
    }
    if (namesCollide(checked))
        return false;
    clear();
    for (auto &record : parsed)
        m_records.append(record.release());
    return true;
}

bool UArchiveHeader::extract(QIODevice &archive) const
{
    for (const UArchiveHeaderRecord *record : m_records) {
        if (!record->extract(archive, m_workFolder))
            return false;
    }
    return true;
}

bool UArchiveHeader::write(QIODevice &archive)
{
    const qint64 headerBytes = byteSize();
    if (headerBytes > std::numeric_limits<quint32>::max() || !archive.seek(headerBytes))
        return false;
    for (UArchiveHeaderRecord *record : m_records) {
        if (!record->pack(archive))
            return false;
    }
    // The marker is the one little-endian word of the format.
    const char marker[4] = {char(Marker), 0, 0, 0};
    if (!archive.seek(0) || archive.write(marker, 4) != 4
        || !UArchiveHeaderRecord::writeWord(archive, quint32(m_records.size())))
        return false;
    for (const UArchiveHeaderRecord *record : m_records) {
        if (!record->write(archive))
            return false;
    }
    return true;
}

bool UArchiveHeader::namesCollide(const QList<const UArchiveHeaderRecord *> &records)
{
    QSet<QString> files;
    QSet<QString> folders;
    for (const UArchiveHeaderRecord *record : records) {
        const QString name = record->name().toCaseFolded();
        bool collides = files.contains(name) || folders.contains(name);
        for (qsizetype slash = name.indexOf(QLatin1Char('/'), 1); slash > 0 && !collides;
             slash = name.indexOf(QLatin1Char('/'), slash + 1)) {
            const QString folder = name.left(slash);
            collides = files.contains(folder);
            folders.insert(folder);
        }
        if (collides) {
            qCWarning(lcDocument) << "Archive member" << record->name()
                                  << "meets another member of the same name or folder; nothing was opened.";
            return true;
        }
        files.insert(name);
    }
    return false;
}

bool UArchiveHeader::isSafeMemberName(const QString &name)
{
    if (!name.startsWith(QLatin1Char('/')))
        return false;
    static const QString Forbidden = QStringLiteral("\\:<>\"|?*");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || Forbidden.contains(c))
            return false;
    }
    static const QRegularExpression Device(QStringLiteral("^(con|prn|aux|nul|com[0-9]|lpt[0-9])(\\..*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QStringList segments = name.mid(1).split(QLatin1Char('/'));
    for (const QString &segment : segments) {
        // "." and ".." end in a dot as well.
        if (segment.isEmpty() || segment.endsWith(QLatin1Char('.')) || segment.endsWith(QLatin1Char(' '))
            || Device.match(segment).hasMatch())
            return false;
    }
    return true;
}
