// Seeds: resources/data/Korvel/Demo.cpz
//
// A control-panel archive opened and extracted into a work folder of its
// own. Whatever the archive holds, nothing may be written outside the work
// folder, a refused archive leaves the work folder empty, every member lands
// where its record says, and no more is extracted than the bounds allow.

#include "FuzzSupport.h"
#include "UArchive.h"
#include "UArchiveHeaderRecord.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

// Everything below folder, links included, as paths relative to it.
QStringList entriesBelow(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(folder).relativeFilePath(it.next());
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString scratch = fuzz::scratchFolder();
    const QString root = scratch + QStringLiteral("/root");
    QDir(root).removeRecursively();
    const QString input = fuzz::writeScratch(QStringLiteral("input.cpz"), fuzz::bytes(data, size));

    UArchive archive;
    archive.setArchiveRoot(root);
    const QString work = archive.workFolder();
    const bool opened = archive.open(input);

    for (const QString &entry : entriesBelow(scratch)) {
        if (entry != QLatin1String("input.cpz") && entry != QLatin1String("root")
            && entry != QLatin1String("root/Archive") && !entry.startsWith(QLatin1String("root/Archive/")))
            fuzz::violated("an archive wrote outside its work folder", entry);
    }
    const QStringList extracted = entriesBelow(work);
    if (!opened) {
        if (!extracted.isEmpty())
            fuzz::violated("a refused archive left files behind", extracted.join(QLatin1Char(' ')));
        return 0;
    }
    qint64 total = 0;
    for (const UArchiveHeaderRecord *record : archive.header().records()) {
        const QFileInfo file(record->filePath());
        if (record->filePath() != work + record->name() || (file.exists() && !file.isFile()))
            fuzz::violated("a member is not where its record says", record->filePath());
        total += file.size();
    }
    if (archive.header().records().size() > qsizetype(UArchiveHeader::MaxMembers)
        || total > UArchiveHeader::MaxTotalBytes)
        fuzz::violated("an archive beyond the bounds was extracted");
    archive.memberPath(QStringLiteral(".cpf"));
    archive.memberUrl(QStringLiteral("logo.png"));
    return 0;
}
