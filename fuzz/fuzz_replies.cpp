// Seeds: fuzz/corpus/replies/*
//
// The bytes a device sends, fed to a TCP client's framing in reads of the
// size the first byte picks, and the reply lines routed by the device
// protocol to controls of every command family that polled before. The rest
// of the first byte sets how a command waits for its answer, so that the
// same lines also go through the dispatcher's matching of answers to the
// command that waits.

#include "CControl.h"
#include "FuzzSupport.h"
#include "HNode.h"
#include "ITcpClient.h"
#include "ITcpClientThread.h"
#include "PKVDProtocol.h"
#include "TTransformFactory.h"

#include <memory>
#include <vector>

namespace {

// A link that is always up and swallows what is sent: the protocol polls as
// it would online, and every answer comes from the input alone.
class SilentLink : public IInterface
{
public:
    SilentLink() { m_connected = true; }
    quint32 send(const QByteArray &, int, const QString &, quint32) override { return 0; }
    quint8 streaming() const override { return m_streaming; }
    void setStreaming(quint8 streaming) override { m_streaming = streaming; }

private:
    quint8 m_streaming = 0;
};

struct Control
{
    const char *block;
    const char *transform;
    const char *structure;
    const char *index1;
    const char *index2;
    const char *channelLabel;
};

// One control per command family, with the transforms the templates use.
const Control Controls[] = {
    {"Gain 1", "strV", "0", "1", "0", ""},         {"Mute 2", "chrL", "1", "3", "0", ""},
    {"G", "strV", "2", "3", "4", ""},              {"Selector 1", "text", "3", "0", "2", ""},
    {"Status", "bin8", "4", "0", "0", ""},         {"Group", "grpV", "5", "26", "0", ""},
    {"Group", "strV", "6", "26", "0", ""},         {"Mic", "strV", "7", "0", "2", "Mic 1"},
    {"Matrix", "strV", "8", "1", "2", ""},         {"Dante", "strV", "10", "1", "0", ""},
    {"PSTN In", "strV", "10", "1", "0", ""},
};

struct Bench
{
    HNode device;
    HNode dante;
    HNode phoneDevice;
    HNode phone;
    std::vector<std::unique_ptr<HNode>> blocks;
    std::vector<std::unique_ptr<CControl>> controls;
    SilentLink link;
    PKVDProtocol protocol;
    ITcpClient client;

    Bench()
    {
        device.setTitle(QStringLiteral("ZMP-30"));
        dante.setTitle(QStringLiteral("Dante"));
        dante.setParentNode(&device);
        phoneDevice.setTitle(QStringLiteral("XT-10"));
        phone.setTitle(QStringLiteral("PSTN In"));
        phone.setParentNode(&phoneDevice);
        for (const Control &c : Controls) {
            HNode *node = nullptr;
            if (QLatin1String(c.block) == QLatin1String("Dante")) {
                node = &dante;
            } else if (QLatin1String(c.block) == QLatin1String("PSTN In")) {
                node = &phone;
            } else {
                blocks.push_back(std::make_unique<HNode>());
                node = blocks.back().get();
                node->setLabel(QLatin1String(c.block));
                node->setTitle(QLatin1String(c.block));
            }
            auto control = std::make_unique<CControl>(QLatin1String(c.block) + QLatin1String(c.structure),
                                                      QStringLiteral("Slider"));
            CAttributes &attributes = control->attributes();
            attributes.setAttribute(QStringLiteral("transform"), QLatin1String(c.transform));
            attributes.setAttribute(QStringLiteral("struct"), QLatin1String(c.structure));
            attributes.setAttribute(QStringLiteral("index1"), QLatin1String(c.index1));
            attributes.setAttribute(QStringLiteral("index2"), QLatin1String(c.index2));
            attributes.setAttribute(QStringLiteral("channelLabel"), QLatin1String(c.channelLabel));
            attributes.setAttribute(QStringLiteral("minimum"), QStringLiteral("-60"));
            attributes.setAttribute(QStringLiteral("maximum"), QStringLiteral("12"));
            control->setNode(node);
            TTransformFactory::instance()->obtain(control.get());
            controls.push_back(std::move(control));
        }
        protocol.setInterface(&link);
        client.setProtocol(&protocol);
        // The unterminated tail is taken on the next pass of the event loop.
        client.setTailFlushInterval(0);
    }

    // Every control asks for its parameter again, on a fresh connection.
    void pollAll()
    {
        link.setStreaming(0);
        protocol.setOnline(true);
        pollAgain();
    }

    // The next poll cycle: a device that took the handshake is subscribed to.
    void pollAgain()
    {
        for (const auto &control : controls) {
            if (TTransform *transform = control->transform()) {
                protocol.poll(transform);
                protocol.queryNow(transform);
            }
        }
    }
};

void framed(Bench &bench, const QByteArray &stream, int readSize)
{
    ITcpClientThread *dispatcher = bench.client.dispatcher();
    dispatcher->onStartMessageProcessing();
    for (qsizetype at = 0; at < stream.size(); at += readSize) {
        bench.client.queueReplies(stream.mid(at, readSize));
        dispatcher->onDispatch();
        // A device that never ends its lines must not make the client
        // hoard what it sends.
        if (bench.client.unterminatedTail().size() > 65536)
            fuzz::violated("the client keeps an unbounded tail");
    }
    fuzz::settle();
    dispatcher->onDispatch();
    dispatcher->onQuitMessageProcessing();
}

void matched(Bench &bench, const QByteArray &stream, int mode)
{
    static const QByteArray Tags[] = {QByteArray(), QByteArrayLiteral("GA\"G\">3>4="), QByteArrayLiteral("SUB")};
    ICountedQueue<ITcpClientThread::Record> records;
    ICountedQueue<QByteArray> replies;
    ITcpClientThread dispatcher(&records, &replies, [](const QByteArray &bytes, bool) { return bytes.size(); });
    dispatcher.setProtocol(&bench.protocol);
    dispatcher.onStartMessageProcessing();
    records.append({mode, QByteArrayLiteral("GA\"G\">3>4\r"), Tags[mode % 3], 200, QByteArray()});
    records.append({IInterface::AckExpected, QByteArrayLiteral("SA \"G\">3>4=1\r"), QByteArray(), 200, QByteArrayLiteral("\"G\">3>4")});
    dispatcher.onDispatch();
    for (const QByteArray &line : stream.split('\r')) {
        for (const QByteArray &piece : line.split(';'))
            replies.append(piece);
        dispatcher.onReplyReady();
        dispatcher.onDispatch();
    }
    dispatcher.onQuitMessageProcessing();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Bench bench;
    if (size == 0)
        return 0;
    const quint8 how = data[0];
    const QByteArray stream = fuzz::bytes(data + 1, size - 1);
    bench.pollAll();
    framed(bench, stream, (how & 0x0F) == 0 ? int(stream.size()) + 1 : how & 0x0F);
    // The same lines again, as confirmations of the subscriptions that the
    // handshake allowed and as values the device pushes.
    bench.pollAgain();
    matched(bench, stream, (how >> 4) % 3);
    // A command that went unanswered, named by the first line, and the
    // device dropped and taken up again.
    bench.protocol.replyTimeout(QString::fromUtf8(stream.left(stream.indexOf('\r'))));
    bench.protocol.resynchronize();
    return 0;
}
