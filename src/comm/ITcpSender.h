#pragma once

#include "IInterface.h"

#include <QAbstractSocket>
#include <QTimer>

class QTcpSocket;

// A plain TCP connection that streams bytes to a listening peer, as a panel
// file goes to a phone. Unlike the device client it has no queue, no
// dispatcher, no host check and no reconnect: anything it wrote by itself,
// or a second connection, would end up inside the file on the phone, which
// has no length field to notice.
//
// Connecting never blocks: interfaceStateChanged(true) reports the
// connection, interfaceStateChanged(false) a connection that could not be
// made within the connect wait or that was lost (errorString() says why).
// close() lets the written bytes go out and ends the stream; when every byte
// has left and the socket is closed without an error, connectionClose()
// follows.
class ITcpSender : public IInterface
{
    Q_OBJECT
public:
    explicit ITcpSender(QObject *parent = nullptr);
    ~ITcpSender() override;

    bool open() override;
    bool close() override;
    // Drops the connection at once, unwritten bytes included.
    void abort();
    // Writes the bytes at once whatever the mode; the answer is the number
    // of bytes taken, 0 without a connection.
    quint32 send(const QByteArray &data, int mode, const QString &tag, quint32 timeoutMs) override;
    bool waitForBytesWritten(int ms) override;
    void dump() const override;
    QString name() const override;
    QString addressText() const override;
    void setAddress(const QString &address) override;
    void setPort(int port) override;

    int port() const { return m_port; }
    // Bytes taken by send() that have not left for the peer yet.
    qint64 bytesToWrite() const;
    QString errorString() const { return m_error; }

signals:
    // Bytes that left for the peer.
    void bytesWritten(qint64 bytes);

private slots:
    void onConnected();
    void onDisconnected();
    void onError();
    void onConnectTimeout();

private:
    void fail(const QString &reason);
    void dropSocket(bool now = true);
    bool closedCleanly() const;

    QTcpSocket *m_socket = nullptr;
    QString m_host;
    int m_port = 0;
    QString m_error;
    bool m_closing = false;
    QTimer m_connectTimer;
};
