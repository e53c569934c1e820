#pragma once

#include "ICountedQueue.h"
#include "IHostCheck.h"
#include "IInterface.h"
#include "ITcpClientThread.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QStringList>
#include <QTimer>

class QTcpSocket;

// The TCP connection to one device. It connects without blocking, keeps
// reconnecting every 1500 ms while the device is away, hands the queued
// commands to its dispatcher, cuts the incoming bytes into reply lines, and
// has the host of a connection that fell silent after a write pinged.
//
// Its connection state machine: Idle → Connecting → Running; a lost
// connection goes to Reconnecting, too many failed commands to Resetting
// and on to Reconnecting. Entering Running puts the protocol online (it
// shakes hands and subscribes again); leaving it puts the protocol offline.
class ITcpClient : public IInterface
{
    Q_OBJECT
public:
    enum ConnectionState { Idle = 0, Connecting = 1, Running = 2, Reconnecting = 3, Resetting = 4 };

    static constexpr int ReconnectIntervalMs = 1500;
    // Failed command attempts while Running after which the connection is
    // reset.
    static constexpr int MaxSendErrors = 13;
    // How long a closing connection may take to say goodbye before it is
    // cut.
    static constexpr int CloseGraceMs = 500;
    // An unterminated tail of the received bytes is taken as a reply once
    // the device has been quiet this long.
    static constexpr int TailFlushMs = 50;

    explicit ITcpClient(QObject *parent = nullptr);
    ~ITcpClient() override;

    bool open() override;
    bool close() override;
    void ensureOpen() override;
    void shutdown() override;
    quint32 send(const QByteArray &data, int mode, const QString &tag, quint32 timeoutMs) override;
    QString statusText() const override;
    void dump() const override;
    QString name() const override;
    QString addressText() const override;
    void setAddress(const QString &address) override;
    void setPort(int port) override;
    int connectionState() const override;
    void setProtocol(PProtocol *protocol) override;
    bool isStreamingSet() const override;
    void resynchronize() override;
    quint8 streaming() const override;
    void setStreaming(quint8 streaming) override;
    void armHostCheck() override;

    QHostAddress address() const { return QHostAddress(m_host); }
    int port() const { return m_port; }
    bool hasSocket() const { return m_socket != nullptr; }
    int lastSocketError() const { return m_lastError; }
    ITcpClientThread *dispatcher() const { return m_dispatcher; }

    // Probes the host when the connection stays silent after a write.
    IHostCheck *hostCheck() { return &m_hostCheck; }

    // Bytes received after the last complete reply, waiting for their line
    // end; and how long they wait for it before they count as a reply.
    QByteArray unterminatedTail() const { return m_tail; }
    void setTailFlushInterval(int ms) { m_tailTimer.setInterval(ms); }
    // Cuts bytes as the socket delivered them into reply lines and queues
    // them for the dispatcher. Public so that the framing can be fed from
    // memory, without a connection.
    void queueReplies(const QByteArray &bytes);

    // The status text of a connection state.
    static QString stateText(int state);

signals:
    void startMessageProcessing();
    void quitMessageProcessing();
    void replyReady();
    void connectionActive();

private slots:
    void onConnected();
    void onDisconnected();
    void retry();
    void dataReady();
    void error(QAbstractSocket::SocketError socketError);
    void stateChanged(QAbstractSocket::SocketState socketState);
    void onMessageSendError(const QByteArray &bytes);
    void onConnectTimeout();
    void flushTail();
    void hostUnreachable();

private:
    void connectSocket();
    qint64 writeForDispatcher(const QByteArray &bytes);
    void startHostCheck();
    void step();
    void stepRunning();
    void stepResetting();
    void enterRunning();
    void goOffline();
    void startReconnectTimer();
    void resetStreaming();

    QTcpSocket *m_socket = nullptr;
    QString m_host;
    int m_port = 0;
    int m_lastError = -1;
    int m_socketState = QAbstractSocket::UnconnectedState;
    ConnectionState m_state = Idle;
    QTimer m_reconnectTimer;
    QTimer m_connectTimer;
    QTimer m_tailTimer;
    ICountedQueue<ITcpClientThread::Record> m_records;
    ICountedQueue<QByteArray> m_replies;
    ITcpClientThread *m_dispatcher = nullptr;
    QByteArray m_tail;
    quint8 m_streaming = 0;
    quint8 m_streamingSet = 0;
    IHostCheck m_hostCheck;
};
