// Feeds every file of the folders (or the files) named on the command line
// to the harness it is linked with, in name order, as libFuzzer would feed
// one input. A missing folder counts as empty; no input at all fails, so
// that a lost corpus cannot pass unnoticed.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo info(QString::fromLocal8Bit(argv[i]));
        if (info.isDir()) {
            const QFileInfoList files = QDir(info.filePath()).entryInfoList(QDir::Files, QDir::Name);
            for (const QFileInfo &file : files)
                inputs << file.filePath();
        } else if (info.isFile()) {
            inputs << info.filePath();
        }
    }
    if (inputs.isEmpty()) {
        std::fprintf(stderr, "No inputs to replay.\n");
        return 1;
    }
    for (const QString &path : inputs) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "Cannot read %s\n", qPrintable(path));
            return 1;
        }
        const QByteArray data = file.readAll();
        std::fprintf(stderr, "Replaying %s (%lld bytes)\n", qPrintable(path), qlonglong(data.size()));
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()));
    }
    std::fprintf(stderr, "Replayed %lld inputs.\n", qlonglong(inputs.size()));
    return 0;
}
