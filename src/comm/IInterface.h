#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class HNode;
class PProtocol;

// The transport under a protocol: it owns the connection to one device,
// queues the protocol's commands, matches the device's answers to the
// command that waits for them and reports the connection state. The base is
// the null transport: it is never connected and sends nothing.
class IInterface : public QObject
{
    Q_OBJECT
public:
    // What a queued command expects back.
    enum SendMode {
        AckExpected = 0,   // an ACK byte
        ReplyExpected = 1, // a reply that begins with the command's tag
        NoAnswer = 2,      // nothing
        Immediate = 3,     // written at once, not queued
    };

    explicit IInterface(QObject *parent = nullptr);
    ~IInterface() override;

    virtual bool open();
    virtual bool close();
    // Opens unless a connection is already set up.
    virtual void ensureOpen();
    virtual void shutdown();
    // Queues data (or writes it at once in Immediate mode); the answer is
    // the number of bytes written at once, 0 for a queued command.
    virtual quint32 send(const QByteArray &data, int mode, const QString &tag, quint32 timeoutMs);
    // Blocks until the bytes handed over have left for the peer; false
    // without a connection or when the time ran out.
    virtual bool waitForBytesWritten(int ms);
    // Queues a set command, which the device acknowledges; a set of the same
    // parameter that still waits to be written takes the newer bytes in its
    // place instead. An empty parameter queues the command as it is.
    virtual quint32 sendSet(const QByteArray &data, const QByteArray &parameter, quint32 timeoutMs);
    // Asked when a connection is lost while the program stays online: the
    // interface makes sure that it is trying to connect again.
    virtual void reconnect();
    virtual void notifyState();
    virtual QString statusText() const;
    virtual void dump() const;
    virtual QString name() const;
    virtual QString addressText() const;
    virtual void setAddress(const QString &address);
    virtual void setPort(int port);
    virtual int connectionState() const;
    virtual void setProtocol(PProtocol *protocol);
    virtual bool isStreamingSet() const;
    virtual void resynchronize();
    virtual quint8 streaming() const;
    virtual void setStreaming(quint8 streaming);
    virtual void armHostCheck();

    PProtocol *protocol() const;
    // The chassis that the interface serves.
    HNode *hardwareNode() const;
    void setHardwareNode(HNode *node);
    bool isConnected() const { return m_connected; }
    int sendErrorCount() const { return m_sendErrors; }
    // How long a connection attempt may take before it is given up and
    // tried again.
    int connectTimeout() const { return m_connectTimeoutMs; }
    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }

signals:
    void interfaceStateChanged(bool isConnected);
    void connectionClose();

protected:
    // The chassis and the protocol may go before the interface does; the
    // guarded pointers turn null instead of dangling.
    QPointer<PProtocol> m_protocol;
    QPointer<HNode> m_node;
    bool m_connected = false;
    int m_sendErrors = 0;
    int m_connectTimeoutMs = 3000;
};
