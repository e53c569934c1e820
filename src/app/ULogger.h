#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>

class QFile;

// Plain-text log "kvrlog.txt" in the user's documents folder. Each line is
// appended by opening, writing and closing the file, so the file can be read
// or deleted while the program runs; once a minute the oldest lines are
// trimmed so that the file stays within one mebibyte.
class ULogger : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 MaxLogBytes = 1048576;
    static const char *const FileName;
    static const char *const Separator;

    static ULogger *instance();

    // A logger on its own folder; the process-wide one comes from instance().
    explicit ULogger(const QString &rootPath, QObject *parent = nullptr);
    ~ULogger() override;

    void logInfo(const QString &message);
    void logTagged(const QString &tag, const QString &message);
    void logTagged(const QString &tag, const char *message);
    void logRaw(const QString &text);
    void writeLine(const QByteArray &bytes);

    QString rootPath() const { return m_rootPath; }
    QString filePath() const;

    // Trims a log text to at most maxBytes by dropping whole lines, oldest
    // first (at least one when the text is too long). Linear in its size.
    static QByteArray trimmed(const QByteArray &content, qint64 maxBytes = MaxLogBytes);

public slots:
    void _onLogTrimLoopTick();

private:
    void initialize();
    static QString threadIdText();

    QFile *m_file = nullptr;
    QString m_rootPath;
    bool m_open = false;
    QTimer m_trimTimer;
    bool m_initialized = false;
    QMutex m_mutex;
};
