#include "UArchive.h"
#include "UArchiveHeaderRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

// kvrarchive pack ARCHIVE.cpz FILE...   packs files into a control-panel archive
// kvrarchive list ARCHIVE.cpz           names the members of an archive
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() >= 3 && args.at(0) == QLatin1String("pack")) {
        UArchive archive;
        for (const QString &file : args.mid(2)) {
            if (!archive.addFile(QFileInfo(file).absoluteFilePath(), QString())) {
                err << "kvrarchive: cannot add " << file << '\n';
                return 1;
            }
        }
        if (!archive.write(args.at(1))) {
            err << "kvrarchive: cannot write " << args.at(1) << '\n';
            return 1;
        }
        out << "packed " << args.size() - 2 << " files into " << args.at(1) << '\n';
        return 0;
    }
    if (args.size() == 2 && args.at(0) == QLatin1String("list")) {
        if (!UArchive::isArchive(args.at(1))) {
            err << "kvrarchive: " << args.at(1) << " is not an archive\n";
            return 1;
        }
        UArchive archive;
        archive.setArchiveRoot(QDir::tempPath() + QStringLiteral("/kvrarchive-list"));
        if (!archive.open(args.at(1))) {
            err << "kvrarchive: cannot read " << args.at(1) << '\n';
            return 1;
        }
        for (const UArchiveHeaderRecord *record : archive.header().records())
            out << record->name() << '\n';
        return 0;
    }
    err << "usage: kvrarchive pack ARCHIVE.cpz FILE... | kvrarchive list ARCHIVE.cpz\n";
    return 2;
}
