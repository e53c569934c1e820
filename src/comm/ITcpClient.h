#pragma once

#include "ICountedQueue.h"
#include "IHostCheck.h"
#include "IInterface.h"
#include "ILinkWatch.h"
#include "IReplyFramer.h"
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
// connection goes to Reconnecting, too many failed commands or a device
// gone silent to Resetting and on to Reconnecting. Entering Running puts the
// protocol online (it shakes hands and subscribes again); leaving it puts
// the protocol offline. Every connection starts from the same clean state;
// only the set commands the device had not yet acknowledged are carried
// over to the next, so that no change the user made is lost.
//
// While the protocol names a probe command, the link is watched (ILinkWatch):
// a quiet device is probed, and one that leaves a command unanswered for a
// few seconds is taken as gone and the connection reset.
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
    static constexpr quint32 ProbeTimeoutMs = 500;

    explicit ITcpClient(QObject *parent = nullptr);
    ~ITcpClient() override;

    bool open() override;
    bool close() override;
    void ensureOpen() override;
    void shutdown() override;
    quint32 send(const QByteArray &data, int mode, const QString &tag, quint32 timeoutMs) override;
    quint32 sendSet(const QByteArray &data, const QByteArray &parameter, quint32 timeoutMs) override;
    void reconnect() override;
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
    QByteArray unterminatedTail() const { return m_framer.tail(); }
    void setTailFlushInterval(int ms) { m_framer.setQuietInterval(ms); }
    // Set commands waiting to be sent again on the next connection.
    int carriedSetCount() const { return int(m_carried.size()); }
    // Commands queued and not yet taken by the dispatcher.
    int queuedCount() const { return m_records.size(); }
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
    void onTailQuiet();
    void onDeadlineReached();
    void hostUnreachable();
    void sendProbe();
    void onLinkDead(qint64 unansweredMs);

private:
    void connectSocket();
    qint64 writeForDispatcher(const QByteArray &bytes, bool awaitsAnswer);
    void flushTail();
    void tuneSocket();
    void carryUnconfirmedSets();
    static void mergeSet(QList<ITcpClientThread::Record> &sets, const ITcpClientThread::Record &set);
    void sendCarriedSets();
    void startConnectionState();
    void enqueue(const ITcpClientThread::Record &record);
    void startHostCheck();
    void step();
    void stepRunning();
    void stepResetting();
    // The connection is given up (too many failures, a device gone
    // silent): cut, and connected afresh.
    void resetLink();
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
    IReplyFramer m_framer;
    ILinkWatch m_linkWatch;
    QList<ITcpClientThread::Record> m_carried;
    // Sets given up unanswered since the device last sent anything.
    QList<ITcpClientThread::Record> m_unanswered;
    // Inside open() or close(): the offline report they give must not make
    // a listener open the client again halfway.
    bool m_switching = false;
    ICountedQueue<ITcpClientThread::Record> m_records;
    ICountedQueue<QByteArray> m_replies;
    ITcpClientThread *m_dispatcher = nullptr;
    quint8 m_streaming = 0;
    quint8 m_streamingSet = 0;
    IHostCheck m_hostCheck;
};
