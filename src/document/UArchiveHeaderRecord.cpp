#include "UArchiveHeaderRecord.h"

#include "KvrLogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <limits>
#include <zlib.h>

namespace {
constexpr qint64 MaxOffset = std::numeric_limits<quint32>::max();
// The largest block a member of MaxMemberBytes can compress to (zlib's worst
// case for stored data plus the 4-byte length in front).
constexpr qint64 MaxBlockBytes = UArchiveHeaderRecord::MaxMemberBytes
                                 + UArchiveHeaderRecord::MaxMemberBytes / 1000 + 1024;
// Deflate cannot expand data more than about 1032 times; a block claiming a
// larger ratio is lying about its length.
constexpr qint64 MaxExpansion = 1040;

// Inflates a zlib stream into exactly `out->size()` bytes; anything else
// (a broken stream, one that ends early or would produce more) fails.
bool inflateExactly(const QByteArray &stream, QByteArray *out)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    char spare = 0;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stream.constData()));
    z.avail_in = uInt(stream.size());
    z.next_out = reinterpret_cast<Bytef *>(out->isEmpty() ? &spare : out->data());
    z.avail_out = uInt(out->size());
    const int result = inflate(&z, Z_FINISH);
    const bool ok = result == Z_STREAM_END && z.total_out == uLong(out->size());
    inflateEnd(&z);
    return ok;
}
} // namespace

UArchiveHeaderRecord::UArchiveHeaderRecord(UArchiveHeader *header) : m_header(header) {}

bool UArchiveHeaderRecord::readWord(QIODevice &device, quint32 *value)
{
    uchar bytes[4];
    if (device.read(reinterpret_cast<char *>(bytes), 4) != 4)
        return false;
    *value = qFromBigEndian<quint32>(bytes);
    return true;
}

bool UArchiveHeaderRecord::writeWord(QIODevice &device, quint32 value)
{
    uchar bytes[4];
    qToBigEndian<quint32>(value, bytes);
    return device.write(reinterpret_cast<const char *>(bytes), 4) == 4;
}

void UArchiveHeaderRecord::setName(const QString &name)
{
    m_name = name;
    m_nameLength = quint32(name.size());
}

bool UArchiveHeaderRecord::read(QIODevice &archive, qint64 fileSize)
{
    const qint64 start = archive.pos();
    quint32 length = 0;
    if (start + FixedBytes > fileSize || !readWord(archive, &length))
        return false;
    if (start + FixedBytes + 2 * qint64(length) > fileSize)
        return false;
    const QByteArray raw = archive.read(2 * qint64(length));
    if (raw.size() != 2 * qint64(length))
        return false;
    QString name(qsizetype(length), Qt::Uninitialized);
    for (quint32 i = 0; i < length; ++i)
        name[i] = QChar(qFromLittleEndian<quint16>(raw.constData() + 2 * i));
    quint32 offset = 0;
    quint32 size = 0;
    if (!readWord(archive, &offset) || !readWord(archive, &size))
        return false;
    if (qint64(offset) + qint64(size) > fileSize)
        return false;
    setName(name);
    m_offset = offset;
    m_size = size;
    return true;
}

bool UArchiveHeaderRecord::write(QIODevice &archive) const
{
    QByteArray raw(2 * qsizetype(m_nameLength), Qt::Uninitialized);
    for (quint32 i = 0; i < m_nameLength; ++i)
        qToLittleEndian<quint16>(m_name.at(i).unicode(), raw.data() + 2 * i);
    return writeWord(archive, m_nameLength) && archive.write(raw) == raw.size()
           && writeWord(archive, m_offset) && writeWord(archive, m_size);
}

bool UArchiveHeaderRecord::plausibleBlock(quint32 length) const
{
    if (m_size < 4 || m_size > MaxBlockBytes) {
        qCWarning(lcDocument) << "Archive member" << m_name << "has a broken block of" << m_size << "bytes.";
        return false;
    }
    if (qint64(length) > MaxMemberBytes || qint64(length) > (qint64(m_size) - 4) * MaxExpansion + 1024) {
        qCWarning(lcDocument) << "Archive member" << m_name << "claims" << length
                              << "bytes from a block of" << m_size << "bytes.";
        return false;
    }
    return true;
}

bool UArchiveHeaderRecord::checkBlock(QIODevice &archive, quint32 *length) const
{
    *length = 0;
    if (m_size == 0)
        return true;
    // The record's bounds were checked on reading: a block of four bytes or
    // more can always be read from.
    if (m_size >= 4 && (!archive.seek(m_offset) || !readWord(archive, length)))
        return false;
    return plausibleBlock(*length);
}

bool UArchiveHeaderRecord::extract(QIODevice &archive, const QString &workFolder) const
{
    QByteArray data;
    if (m_size > 0) {
        const QByteArray block = archive.seek(m_offset) ? archive.read(m_size) : QByteArray();
        if (block.size() != qint64(m_size) || block.size() < 4)
            return false;
        const quint32 length = qFromBigEndian<quint32>(block.constData());
        if (!plausibleBlock(length))
            return false;
        data = QByteArray(qsizetype(length), Qt::Uninitialized);
        // qCompress stores an empty file as its length alone.
        if ((block.size() > 4 || length > 0) && !inflateExactly(block.mid(4), &data)) {
            qCWarning(lcDocument) << "Archive member" << m_name << "is corrupt.";
            return false;
        }
    }
    if (!m_filePath.startsWith(workFolder + QLatin1Char('/')))
        return false;
    // Each folder on the way and the file itself must be entries of the work
    // folder: a link there (left behind, or put there while we work) is
    // never followed.
    const QStringList segments = m_filePath.mid(workFolder.size() + 1).split(QLatin1Char('/'));
    QString path = workFolder;
    for (int i = 0; i < segments.size(); ++i) {
        path += QLatin1Char('/') + segments.at(i);
        const QFileInfo entry(path);
        if (entry.isSymLink() || entry.isJunction()) {
            qCWarning(lcDocument) << "Archive member" << m_name << "would be written through the link" << path
                                  << "- nothing was opened.";
            return false;
        }
        if (i + 1 < segments.size() && !entry.isDir())
            QDir().mkdir(path);
    }
    // A leftover that could not be removed before is replaced, never
    // written into: it may be a second name of a file elsewhere. NewOnly
    // refuses whatever appears at the path in the meantime, links included.
    if (QFileInfo::exists(m_filePath))
        QFile::remove(m_filePath);
    QFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        qCWarning(lcDocument) << "Cannot create" << m_filePath << "- archive member skipped:"
                              << file.errorString();
        return true;
    }
    if (file.write(data) != data.size())
        qCWarning(lcDocument) << "Cannot write" << m_filePath << ":" << file.errorString();
    return true;
}

bool UArchiveHeaderRecord::pack(QIODevice &archive)
{
    const qint64 start = archive.pos();
    if (start > MaxOffset)
        return false;
    QByteArray block;
    QFile source(m_filePath);
    if (!source.open(QIODevice::ReadOnly)) {
        qCWarning(lcDocument) << "Cannot read" << m_filePath << "- archived as an empty member:"
                              << source.errorString();
    } else if (source.size() > MaxMemberBytes) {
        qCWarning(lcDocument) << m_filePath << "is too large for an archive member.";
        return false;
    } else {
        block = qCompress(source.readAll());
    }
    if (start + block.size() > MaxOffset || archive.write(block) != block.size())
        return false;
    m_offset = quint32(start);
    m_size = quint32(block.size());
    return true;
}
