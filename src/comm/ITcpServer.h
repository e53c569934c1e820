#pragma once

#include "IInterface.h"

#include <QAbstractSocket>

class QTcpServer;
class QTcpSocket;

// The listening end of a panel transfer: receive mode waits here for the
// station or phone that sends a panel file. It takes one connection at a
// time and hands every byte that arrives to its protocol; when the sender
// ends the stream normally it announces connectionClose(), after the last
// bytes. A stream that fails (a socket error, or bytes the protocol
// refuses) is cut and announced by receiveFailed() instead, so that half a
// file is never taken for a whole one.
class ITcpServer : public IInterface
{
    Q_OBJECT
public:
    explicit ITcpServer(QObject *parent = nullptr);
    ~ITcpServer() override;

    // Listens on every IPv4 address at the port (0: a free port, see
    // serverPort()). False, with the reason in errorString(), when the port
    // cannot be had.
    bool open() override;
    bool close() override;
    // Writes to the accepted connection; 0 without one.
    quint32 send(const QByteArray &data, int mode, const QString &tag, quint32 timeoutMs) override;
    bool waitForBytesWritten(int ms) override;
    void dump() const override;
    QString name() const override;
    void setPort(int port) override;

    int port() const { return m_port; }
    quint16 serverPort() const;
    bool isListening() const;
    bool hasConnection() const { return m_socket != nullptr; }
    QString errorString() const { return m_error; }
    // Debug lines of the incoming data.
    void setVerbose(quint8 verbose) { m_verbose = verbose; }

signals:
    void receiveFailed(const QString &reason);

private slots:
    void newConnection();
    void error(QAbstractSocket::SocketError err);
    void serverror(QAbstractSocket::SocketError err);
    void stateChanged(QAbstractSocket::SocketState socketState);
    void connected();
    void disconnected();
    void readyRead();
    void readChannelFinished();
    void aboutToClose();

private:
    void takeAvailable();
    void failStream(const QString &reason);
    void dropSocket();

    QTcpServer *m_server = nullptr;
    QTcpSocket *m_socket = nullptr;
    int m_port = 0;
    quint8 m_verbose = 0;
    bool m_failed = false;
    QString m_error;
};
