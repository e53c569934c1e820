#pragma once

#include <QFile>
#include <QString>

// The simulator's traffic log: every command a device receives, every
// answer it sends and every connection event, one line each with the time
// and the device and connection it concerns. Lines go to a file, or to
// standard error unless the log is quiet. Each line is flushed at once so
// that the log is complete whenever the program stops.
class SimLog
{
public:
    SimLog() = default;
    ~SimLog();
    SimLog(const SimLog &) = delete;
    SimLog &operator=(const SimLog &) = delete;

    // Appends to the file at path from now on; false with a message in error
    // when it cannot be opened.
    bool openFile(const QString &path, QString *error);
    // Without a file: no lines on standard error.
    void setQuiet(bool quiet) { m_quiet = quiet; }

    void write(const QString &source, const QString &text);
    void close();

    // Protocol bytes as a readable line: control bytes such as ACK, NAK
    // and CR appear as <ACK>, <NAK>, <CR>.
    static QString printable(const QByteArray &bytes);

private:
    QFile m_file;
    bool m_quiet = false;
};
