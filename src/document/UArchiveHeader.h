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
    // On any failure the records stay as they were.
    bool read(QIODevice &archive);
    // Extracts every member; false at the first corrupt block.
    bool extract(QIODevice &archive) const;
    // Writes the members' blocks after the header's place, then the header.
    bool write(QIODevice &archive);

    // A member name is "/" followed by "/"-separated plain names: no empty,
    // "." or ".." segment, no backslash, colon or control character. Only
    // such names can be joined to the work folder without leaving it.
    static bool isSafeMemberName(const QString &name);

private:
    QList<UArchiveHeaderRecord *> m_records;
    QString m_workFolder;
};
