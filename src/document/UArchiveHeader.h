#pragma once

#include <QList>
#include <QString>

class QIODevice;
class UArchiveHeaderRecord;

// The table of contents of a control-panel archive and the work folder its
// members are extracted to.
//
// An archive starts with the word 16 in little-endian order, then the record
// count as a 32-bit big-endian word and the records back to back; the
// members' compressed blocks follow, in record order.
class UArchiveHeader
{
public:
    static constexpr quint32 Marker = 16;
    static constexpr qint64 FixedBytes = 8;
    // A panel, its design and its images are a few dozen members of a few
    // mebibytes; an archive beyond these bounds is refused before anything
    // is extracted, so that it can neither fill the disk nor the folder.
    static constexpr quint32 MaxMembers = 1024;
    static constexpr qint64 MaxTotalBytes = 512 * 1024 * 1024;

    UArchiveHeader() = default;
    virtual ~UArchiveHeader();
    UArchiveHeader(const UArchiveHeader &) = delete;
    UArchiveHeader &operator=(const UArchiveHeader &) = delete;

    QString workFolder() const { return m_workFolder; }
    void setWorkFolder(const QString &folder) { m_workFolder = folder; }
    // Removes what the work folder holds (never the folder itself, never
    // anything behind a link) and makes sure the folder exists. False when
    // the folder cannot be made or something in it could not be removed.
    bool emptyWorkFolder() const;

    const QList<UArchiveHeaderRecord *> &records() const { return m_records; }
    UArchiveHeaderRecord *findRecord(const QString &name) const;
    UArchiveHeaderRecord *addRecord(const QString &filePath, const QString &name);
    void clear();

    // Bytes of the header: 8 plus every record's size.
    qint64 byteSize() const;

    // Reads the header and checks every block's declared length. Members
    // whose names would land outside the work folder are dropped with a
    // warning; the others get the work folder + their name as file path.
    // Refused: more than MaxMembers members or MaxTotalBytes in all, and
    // names that would meet on disk: a name given twice (regardless of
    // case, as the file systems of the desktop compare them) or a member
    // that is also the folder of another ("/images" and "/images/logo.png").
    // On any failure the records stay as they were.
    bool read(QIODevice &archive);
    // Extracts every member; false at the first corrupt block and at the
    // first link met on a member's way into the work folder.
    bool extract(QIODevice &archive) const;
    // Writes the members' blocks after the header's place, then the header.
    bool write(QIODevice &archive);

    // A member name is "/" followed by "/"-separated plain names: no empty,
    // "." or ".." segment, no backslash, colon or control character. Only
    // such names can be joined to the work folder without leaving it. Nor
    // may a segment be one that Windows would not store as written: one with
    // < > " | ? *, one ending in a dot or a blank, or a device name such as
    // "CON" or "com1.txt".
    static bool isSafeMemberName(const QString &name);

private:
    // Whether two of the records would land on one path, or one below the
    // other as if it were a folder.
    static bool namesCollide(const QList<const UArchiveHeaderRecord *> &records);

    QList<UArchiveHeaderRecord *> m_records;
    QString m_workFolder;
};
