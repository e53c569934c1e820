#pragma once

// Peers and bindings shared by the communication tests: a transform that keeps texts as they are, a control bound to
// a node, a protocol that records what its interface hands it, a raw TCP peer for exact bytes, and a simulated device
// running in-process.

#include "CAttributes.h"
#include "CControl.h"
#include "HNode.h"
#include "ITcpClient.h"
#include "ITcpClientThread.h"
#include "PProtocol.h"
#include "SimDevice.h"
#include "SimDeviceInfo.h"
#include "SimFaults.h"
#include "SimLog.h"
#include "TTransform.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <functional>
#include <memory>

namespace commtest {
constexpr int Timeout = 5000;
constexpr char Ack = 0x06;
constexpr char Nak = 0x15;

// A transform whose device text is its value text, unconverted.
class TextTransform : public TTransform
{
public:
    void setValue(int value) override { m_number = value; }
    void value(int &out) const override { out = m_number; }
    void setValueText(const QString &text) override { m_value = text; }
    QString valueText() const override { return m_value; }
    void setReplyText(const QString &text) override { m_reply = text; replies.append(text); emit replyValueReady(); }
    void receiveReply(const QString &text) override { setReplyText(text); }
    QString replyText() const override { return m_reply; }
    QString pollCommand() const override { return command; }
    bool mergesQueuedSets() const override { return level; }
    bool level = false; // a level's queued sets merge, a state's do not
    QStringList replies;
    QString command; // the poll command of a pass-through control

private:
    int m_number = 0;
    QString m_value, m_reply;
};

// A control bound to a block: its attributes, its node and its transform.
struct Binding
{
    Binding(const QString &label, int structure, int index1 = 0, int index2 = 0, HNode *sharedNode = nullptr)
        : node(sharedNode ? sharedNode : &ownNode), control(QStringLiteral("Control of ") + label)
    {
        ownNode.setLabel(label);
        attributes.setStructure(quint32(structure));
        attributes.setIndex1(index1);
        attributes.setIndex2(index2);
        attributes.setOwner(&control);
        transform.setOwnerAttributes(&attributes);
        transform.setNode(node);
        transform.addUser();
    }
    // Sets the value text and hands the control to protocol.
    bool send(PProtocol &protocol, const QString &value)
    {
        transform.setValueText(value);
        return protocol.sendValue(&transform);
    }
    HNode ownNode;
    HNode *node;
    CControl control;
    CAttributes attributes;
    TextTransform transform;
};

// A protocol that only records what the interface hands it.
class RecordingProtocol : public PProtocol
{
public:
    bool handleReply(const QByteArray &reply) override { lines.append(reply); return true; }
    void replyTimeout(const QString &tag) override { timeouts.append(tag); }
    bool setOnline(bool online) override { onlineCalls.append(online); return true; }
    QByteArray probeCommand() const override { return probe; }
    void resynchronize() override { ++resyncs; }
    QByteArray probe; // none unless a test sets one
    QList<QByteArray> lines;
    QStringList timeouts;
    QList<bool> onlineCalls;
    int resyncs = 0;
};

// A peer that cannot listen on loopback stops the test program at once.
inline void mustListen(bool listening, const QString &error)
{
    if (!listening)
        qFatal("a test peer cannot listen on loopback: %s", qPrintable(error));
}

// A device stand-in that answers nothing by itself: the test sees every
// byte the client writes and sends exactly the bytes it wants.
class RawPeer
{
public:
    RawPeer()
    {
        mustListen(server.listen(QHostAddress::LocalHost, 0), server.errorString());
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                sockets.append(socket);
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { onBytes(socket, socket->readAll()); });
            }
        });
    }
    quint16 port() const { return server.serverPort(); }
    QTcpSocket *socket() const { return sockets.isEmpty() ? nullptr : sockets.last(); }
    int connections() const { return int(sockets.size()); }
    void send(const QByteArray &bytes) { socket()->write(bytes); socket()->flush(); }
    int count(const QByteArray &command) const { return int(received.count(command)); }
    QTcpServer server;
    QList<QTcpSocket *> sockets;
    QByteArray received;
    // Called with every command line (without its CR); its answer is sent.
    std::function<QByteArray(const QByteArray &line)> answer;

private:
    void onBytes(QTcpSocket *socket, const QByteArray &bytes)
    {
        received += bytes;
        m_pending += bytes;
        for (int end; (end = int(m_pending.indexOf('\r'))) >= 0;) {
            const QByteArray reply = answer ? answer(m_pending.left(end)) : QByteArray();
            m_pending.remove(0, end + 1);
            if (!reply.isEmpty() && socket->write(reply) > 0)
                socket->flush();
        }
    }

    QByteArray m_pending;
};

// A simulated device on a free loopback port (or the port given).
struct SimPeer
{
    explicit SimPeer(const SimFaults &faults = SimFaults(), quint16 port = 0)
    {
        log.setQuiet(true);
        SimDeviceInfo info;
        info.nodeId = 1;
        info.port = port;
        device = std::make_unique<SimDevice>(info, faults, &log);
        QString error;
        listening = device->listen(QHostAddress::LocalHost, &error);
        mustListen(listening, error);
    }
    quint16 port() const { return device->port(); }
    SimLog log;
    std::unique_ptr<SimDevice> device;
    bool listening = false; // never false past the constructor
};

// A client for protocol, opened towards port on loopback.
inline std::unique_ptr<ITcpClient> openClient(PProtocol *protocol, quint16 port)
{
    auto client = std::make_unique<ITcpClient>();
    client->setProtocol(protocol);
    if (protocol)
        protocol->setInterface(client.get());
    client->setAddress(QStringLiteral("127.0.0.1"));
    client->setPort(port);
    client->open();
    return client;
}

// A client as openClient makes it, once it runs; with awaitHandshake also
// once the device has answered whether it takes subscriptions.
inline std::unique_ptr<ITcpClient> runningClient(PProtocol *protocol, quint16 port, bool awaitHandshake = false)
{
    auto client = openClient(protocol, port);
    if (!QTest::qWaitFor([&] { return client->isConnected() && (!awaitHandshake || client->isStreamingSet()); },
                         Timeout))
        qWarning() << "the client did not come online";
    return client;
}

// Queues the query of parameter name>index, which waits wait ms for its answer.
inline void query(ITcpClient &client, const QByteArray &name, int index, int wait)
{
    const QByteArray command = "GA\"" + name + "\">" + QByteArray::number(index);
    client.send(command + '\r', IInterface::ReplyExpected, QString::fromLatin1(command + '='), wait);
}

// A running client of protocol towards a raw peer that answers as given,
// with a spy on the dispatcher's failures.
template <class Protocol>
struct Online
{
    explicit Online(std::function<QByteArray(const QByteArray &)> answer = {}, bool awaitHandshake = false)
    {
        peer.answer = std::move(answer);
        client = runningClient(&protocol, peer.port(), awaitHandshake);
        failures = std::make_unique<QSignalSpy>(client->dispatcher(), &ITcpClientThread::messageError);
        peer.received.clear();
    }
    bool idle() const { return client->dispatcher()->state() == ITcpClientThread::Idle; }
    RawPeer peer;
    Protocol protocol;
    std::unique_ptr<ITcpClient> client;
    std::unique_ptr<QSignalSpy> failures;
};
} // namespace commtest
