#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::abort();
    }
}

QTemporaryDir &scratch()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kvrfuzz-XXXXXX"));
    return folder;
}

} // namespace

// libFuzzer calls this once before the first input; the replay driver does
// the same.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings written while reading go to a folder of the test mode, never
    // to the user's.
    QStandardPaths::setTestModeEnabled(true);
    qInstallMessageHandler(quiet);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    static int appArgc = 1;
    static char *appArgv[] = {argc && *argc > 0 ? (*argv)[0] : const_cast<char *>("fuzz"), nullptr};
    static QGuiApplication app(appArgc, appArgv);
    if (!scratch().isValid())
        fuzz::violated("the scratch folder cannot be made");
    return 0;
}

namespace fuzz {

QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QString scratchFolder()
{
    return scratch().path();
}

QString writeScratch(const QString &name, const QByteArray &data)
{
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        violated("the scratch file cannot be written", path);
    return path;
}

QString sourcePath(const QString &relative)
{
    return QStringLiteral(KVR_SOURCE_DIR "/") + relative;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void violated(const char *rule, const QString &detail)
{
    std::fprintf(stderr, "RULE BROKEN: %s %s\n", rule, qPrintable(detail));
    std::abort();
}

} // namespace fuzz
