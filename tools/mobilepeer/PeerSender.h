#pragma once

#include <QFile>
#include <QObject>
#include <QTcpSocket>

// Sends a file as another station does: connects, writes the bytes in
// pieces of 4096, each once the one before has left, and closes.
class PeerSender : public QObject
{
    Q_OBJECT
public:
    explicit PeerSender(const QString &path, QObject *parent = nullptr);

    // Starts; finished() tells how it went.
    void start(const QString &host, quint16 port);

signals:
    void finished(int exitCode);

private:
    void writeNext();
    void fail(const QString &reason);

    QFile m_file;
    QTcpSocket m_socket;
    qint64 m_sent = 0;
    bool m_closing = false;
};
