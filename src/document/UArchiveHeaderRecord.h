#pragma once

#include <QString>
#include <QtGlobal>

class QIODevice;
class UArchiveHeader;

// One member of a control-panel archive: where its file lies on disk, its
// name inside the archive ("/file" or "/folder/file") and where its
// compressed block lies in the archive file.
//
// On disk a record is the name length L (UTF-16 code units), the name in
// UTF-16 little-endian, the block offset and the block size; the integers are
// 32-bit big-endian, so a record takes 12 + 2 × L bytes.
class UArchiveHeaderRecord
{
public:
    static constexpr qint64 FixedBytes = 12;
    // Members larger than this are neither written nor extracted: a panel,
    // its design and its images are a few mebibytes at most, and the bound
    // keeps a hostile archive from making us allocate gigabytes.
    static constexpr qint64 MaxMemberBytes = 256 * 1024 * 1024;

    explicit UArchiveHeaderRecord(UArchiveHeader *header = nullptr);
    virtual ~UArchiveHeaderRecord() = default;

    QString filePath() const { return m_filePath; }
    void setFilePath(const QString &path) { m_filePath = path; }
    QString name() const { return m_name; }
    void setName(const QString &name);
    quint32 nameLength() const { return m_nameLength; }
    quint32 offset() const { return m_offset; }
    quint32 size() const { return m_size; }
    UArchiveHeader *header() const { return m_header; }

    // Bytes this record takes in the archive's header.
    qint64 byteSize() const { return FixedBytes + 2 * qint64(m_nameLength); }

    // 32-bit big-endian words, as the header and the blocks store them.
    static bool readWord(QIODevice &device, quint32 *value);
    static bool writeWord(QIODevice &device, quint32 value);

    // Reads the record at the device's position. Fails, leaving the record
    // unusable, when the record or its block would reach past fileSize.
    bool read(QIODevice &archive, qint64 fileSize);
    bool write(QIODevice &archive) const;

    // Checks the block's declared length before anything is extracted: a
    // block of 1 to 3 bytes, or one that claims more than MaxMemberBytes or
    // more than its compressed bytes could ever expand to, is refused. The
    // length the block declares goes to length.
    bool checkBlock(QIODevice &archive, quint32 *length) const;
    // Uncompresses the block to a new file at filePath, creating its
    // folders below workFolder. False when the block is corrupt or a link
    // lies on the way from workFolder to the file (it is never followed);
    // a file that cannot be created is skipped with a warning and counts as
    // done.
    bool extract(QIODevice &archive, const QString &workFolder) const;
    // Compresses the file at filePath into a block at the device's position
    // and takes that position and the block's size. A file that cannot be
    // opened gives an empty block; a file too large to be read back, or a
    // block that the 32-bit offsets cannot reach, fails.
    bool pack(QIODevice &archive);

private:
    bool plausibleBlock(quint32 length) const;

    QString m_filePath;
    QString m_name;
    quint32 m_offset = 0;
    quint32 m_size = 0;
    quint32 m_nameLength = 0;
    UArchiveHeader *m_header = nullptr;
};
