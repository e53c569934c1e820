#pragma once

#include <QFile>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// Listens as a mobile device in receive mode: the whole stream of one
// connection is the file, its end is the end of the file. It can also
// misbehave as phones do: close every connection at once, or accept one and
// never read from it.
class PeerReceiver : public QObject
{
    Q_OBJECT
public:
    enum class Behaviour { Receive, Refuse, StopReading };

    PeerReceiver(const QString &outPath, Behaviour behaviour, bool keepListening, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const { return m_server.errorString(); }
    quint16 port() const { return m_server.serverPort(); }

signals:
    void finished(int exitCode);

private:
    void accept();
    void take();
    void end();

    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
    QFile m_out;
    Behaviour m_behaviour;
    bool m_keepListening;
    qint64 m_bytes = 0;
};
