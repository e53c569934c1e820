#pragma once

// The other ends of a panel transfer for the tests, on loopback: a phone that listens (and may close at once
// or stop reading), a station that streams bytes and closes (or stops midway), and netcat when it is there.

#include <QtNetwork>
#include <QtTest>

namespace transfertest {

constexpr int Timeout = 10000;

inline QByteArray pattern(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A mobile device in receive mode.
class ListeningPeer : public QObject
{
public:
    enum Mode { Read, CloseAtOnce, StopReading };
    explicit ListeningPeer(Mode mode = Read) : m_mode(mode)
    {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                ++connections;
                if (m_mode == CloseAtOnce) {
                    socket->close();
                    socket->deleteLater();
                    continue;
                }
                if (m_mode == StopReading)
                    socket->setReadBufferSize(1);
                const auto take = [this, socket] { received += m_mode == Read ? socket->readAll() : QByteArray(); };
                connect(socket, &QTcpSocket::readyRead, this, take);
                connect(socket, &QTcpSocket::disconnected, this, [this, socket, take] {
                    take();
                    closed = true;
                    socket->deleteLater();
                });
            }
        });
    }
    // False (and the test fails) when the port cannot be had.
    bool listen() { return server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return server.serverPort(); }
    QTcpServer server;
    QByteArray received;
    int connections = 0;
    bool closed = false;
private:
    Mode m_mode;
};

// A station that sends bytes and ends the stream; with a stop point it
// sends that many and then waits, connected, for the test to go on.
class StreamingPeer : public QObject
{
public:
    StreamingPeer(const QByteArray &bytes, qint64 stopAt = -1) : m_bytes(bytes), m_stopAt(stopAt)
    {
        connect(&socket, &QTcpSocket::connected, this, [this] { writeNext(); });
        connect(&socket, &QTcpSocket::bytesWritten, this, [this] {
            if (socket.bytesToWrite() == 0)
                writeNext();
        });
        connect(&socket, &QTcpSocket::disconnected, this, [this] { disconnected = true; });
    }
    void start(quint16 port) { socket.connectToHost(QHostAddress::LocalHost, port); }
    void resume()
    {
        m_stopAt = -1;
        writeNext();
    }
    bool stopped() const { return m_stopAt >= 0 && m_sent >= m_stopAt; }
    QTcpSocket socket;
    bool disconnected = false;
private:
    void writeNext()
    {
        if (stopped() || socket.state() != QAbstractSocket::ConnectedState)
            return;
        if (m_sent >= m_bytes.size()) {
            socket.disconnectFromHost();
            return;
        }
        qint64 piece = qMin<qint64>(65536, m_bytes.size() - m_sent);
        if (m_stopAt >= 0)
            piece = qMin(piece, m_stopAt - m_sent);
        socket.write(m_bytes.mid(m_sent, piece));
        m_sent += piece;
    }
    QByteArray m_bytes;
    qint64 m_stopAt;
    qint64 m_sent = 0;
};

inline QString netcat() { return QStandardPaths::findExecutable(QStringLiteral("nc")); }

// A port that was free a moment ago, for programs that need one named.
inline quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

} // namespace transfertest
