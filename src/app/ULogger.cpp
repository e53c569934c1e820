#include "ULogger.h"

#include "KvrLogging.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <QTime>

#ifdef Q_OS_LINUX
#include <sys/syscall.h>
#include <unistd.h>
#endif

const char *const ULogger::FileName = "kvrlog.txt";
const char *const ULogger::Separator = " | ";

namespace {
ULogger *s_instance = nullptr;
}

ULogger *ULogger::instance()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    qCDebug(lcApp) << "Log root path (documents): " << documents;
    if (!s_instance) {
        // Kept until the process ends: lines may be logged during shutdown.
        s_instance = new ULogger(documents);
        qCDebug(lcApp) << "New logger initialized.";
    }
    return s_instance;
}

ULogger::ULogger(const QString &rootPath, QObject *parent)
    : QObject(parent), m_rootPath(rootPath)
{
    initialize();
}

ULogger::~ULogger()
{
    QMutexLocker lock(&m_mutex);
    delete m_file;
    m_file = nullptr;
}

QString ULogger::filePath() const
{
    return m_rootPath + QLatin1Char('/') + QLatin1String(FileName);
}

void ULogger::initialize()
{
    if (m_initialized)
        return;
    m_initialized = true;
    const QString path = filePath();
    qCDebug(lcApp) << "Initializing Log at path = " << path;

    QDir root(m_rootPath);
    if (root.exists()) {
        qCDebug(lcApp) << "Success: Path at " << m_rootPath << " already exists.";
    } else {
        qCDebug(lcApp) << "Path to " << m_rootPath << " does not exist. Creating...";
        if (QDir().mkpath(m_rootPath))
            qCDebug(lcApp) << "Success creating " << m_rootPath;
        else
            qCWarning(lcApp) << "Could not create path " << m_rootPath;
    }

    m_file = new QFile(path);
    qCDebug(lcApp) << "Success creating log file at " << path;

    logInfo(QStringLiteral("START LOG"));

    m_trimTimer.setInterval(60000);
    m_trimTimer.setSingleShot(false);
    connect(&m_trimTimer, &QTimer::timeout, this, &ULogger::_onLogTrimLoopTick);
    m_trimTimer.start();
}

QString ULogger::threadIdText()
{
#ifdef Q_OS_LINUX
    const quint64 id = quint64(::syscall(SYS_gettid));
#else
    const quint64 id = quint64(quintptr(QThread::currentThreadId()));
#endif
    return QString::number(id, 16);
}

void ULogger::logInfo(const QString &message)
{
    const QStringList fields{QStringLiteral("INFO"),
                             QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")),
                             threadIdText(), message};
    writeLine(fields.join(QLatin1String(Separator)).toUtf8());
}

void ULogger::logTagged(const QString &tag, const QString &message)
{
    const QStringList fields{tag, QTime::currentTime().toString(QStringLiteral("mm:ss:z")), message};
    writeLine(fields.join(QLatin1String(Separator)).toUtf8());
}

void ULogger::logTagged(const QString &tag, const char *message)
{
    logTagged(tag, QString::fromUtf8(message ? message : ""));
}

void ULogger::logRaw(const QString &text)
{
    writeLine(text.toUtf8());
}

void ULogger::writeLine(const QByteArray &bytes)
{
    QMutexLocker lock(&m_mutex);
    qCDebug(lcApp).noquote() << "LOG | " + QString::fromUtf8(bytes);
    if (!m_file)
        return;
    m_open = m_file->open(QIODevice::WriteOnly | QIODevice::Append);
    if (!m_open) {
        qCWarning(lcApp) << "Could not open file at " << m_file->fileName() << " error: "
                         << m_file->errorString() << ". Make sure you've called setPath()";
    }
    // A file that did not open counts as a failed write: the line is lost.
    if (!m_open || m_file->write(bytes + '\n') < 0)
        qCWarning(lcApp) << "Log write failed: " << m_file->errorString();
    m_file->close();
    m_open = false;
}

QByteArray ULogger::trimmed(const QByteArray &content, qint64 maxBytes)
{
    const qint64 size = content.size();
    if (size <= maxBytes)
        return content;
    // Keep the longest tail that starts right after a line feed and fits.
    // Since the text is too long, start >= 1, so at least one line goes.
    const qint64 start = size - maxBytes;
    const qsizetype newline = content.indexOf('\n', qsizetype(start - 1));
    if (newline < 0)
        return QByteArray();
    return content.mid(newline + 1);
}

void ULogger::_onLogTrimLoopTick()
{
    if (!m_file) {
        qCDebug(lcApp) << "Init not setup on log file for truncation.";
        return;
    }
    QMutexLocker lock(&m_mutex);
    if (!m_file->open(QIODevice::ReadWrite)) {
        qCWarning(lcApp) << "Could not open log file for truncation read/write. "
                         << m_file->errorString();
        return;
    }
    const QByteArray content = m_file->readAll();
    if (content.size() > MaxLogBytes) {
        const QByteArray kept = trimmed(content);
        m_file->seek(0);
        m_file->write(kept);
        m_file->resize(kept.size());
    }
    m_file->close();
}
