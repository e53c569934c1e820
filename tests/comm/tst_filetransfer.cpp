// The file protocol on real loopback sockets: sending through the plain sender to listening peers (ours and netcat),
// receiving through the receive server from streaming peers, and what becomes of the target.

#include "../TransferPeers.h"
#include "ITcpSender.h"
#include "ITcpServer.h"
#include "PFileProtocol.h"

#include <QProcess>
#include <QTemporaryDir>
#include <memory>

using namespace transfertest;

namespace {
// A sender connected to the port, or null.
std::unique_ptr<ITcpSender> connectedSender(quint16 port)
{
    auto sender = std::make_unique<ITcpSender>();
    sender->setAddress(QStringLiteral("127.0.0.1"));
    sender->setPort(port);
    sender->open();
    if (!QTest::qWaitFor([&] { return sender->isConnected() || !sender->errorString().isEmpty(); }, Timeout))
        return nullptr;
    return sender->isConnected() ? std::move(sender) : nullptr;
}

// A file protocol whose sender is connected to a listening phone (null sender: it is not).
struct Sending
{
    explicit Sending(ListeningPeer::Mode mode = ListeningPeer::Read) : phone(mode)
    {
        if (phone.listen() && (sender = connectedSender(phone.port())))
            protocol.setInterface(sender.get());
    }
    ListeningPeer phone;
    std::unique_ptr<ITcpSender> sender;
    PFileProtocol protocol;
};

// Sends with a fallback that aborts a send which never ends, so a broken send fails the test instead of hanging it.
bool sendBounded(PFileProtocol &protocol, const QString &path)
{
    QTimer::singleShot(30000, &protocol, &PFileProtocol::abort);
    return protocol.sendFile(path);
}
} // namespace

class tst_FileTransfer : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        return writeFile(path, bytes) ? path : QString();
    }

private slots:
    // An Abort midway is met through the progress dialog of the transfer tests.
    void sendsTheWholeFileInPieces_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<qint64>>("progress");
        QTest::newRow("10000 bytes") << int(ListeningPeer::Read) << 10000 << QList<qint64>{0, 4096, 8192, 10000};
        QTest::newRow("one piece exactly") << int(ListeningPeer::Read) << 4096 << QList<qint64>{0, 4096};
        QTest::newRow("empty file") << int(ListeningPeer::Read) << 0 << QList<qint64>{0};
        QTest::newRow("phone closes at once") << int(ListeningPeer::CloseAtOnce) << (1 << 20) << QList<qint64>();
        // Larger than what the kernel buffers on loopback, so that a peer that reads nothing stops the send.
        QTest::newRow("phone stops reading") << int(ListeningPeer::StopReading) << (16 << 20) << QList<qint64>();
    }
    void sendsTheWholeFileInPieces()
    {
        QFETCH(int, mode);
        QFETCH(int, size);
        const QByteArray bytes = pattern(size);
        Sending link{ListeningPeer::Mode(mode)};
        QVERIFY(link.sender);
        QList<qint64> seen;
        connect(&link.protocol, &PFileProtocol::sendProgress, this, [&](qint64 sent, qint64 total) {
            seen << sent;
            QCOMPARE(total, qint64(size));
        });
        const bool reads = mode == ListeningPeer::Read;
        if (!reads)
            link.protocol.setStallTimeout(300);
        QCOMPARE(sendBounded(link.protocol, file("send.cpz", bytes)), reads);
        QCOMPARE(link.protocol.outcome(), reads ? PFileProtocol::Outcome::Sent : PFileProtocol::Outcome::Failed);
        if (!reads) {
            QVERIFY(link.protocol.bytesSent() < qint64(size) && !link.protocol.errorString().isEmpty());
            return;
        }
        QTEST(seen, "progress");
        QCOMPARE(link.protocol.bytesSent(), qint64(size));
        // The end of the stream is the end of the file.
        QTRY_VERIFY_WITH_TIMEOUT(link.phone.closed, Timeout);
        QCOMPARE(link.phone.received, bytes);
        QCOMPARE(link.phone.connections, 1);
    }

    void sendsToNetcat()
    {
        const QString nc = netcat();
        if (nc.isEmpty())
            QSKIP("nc is not installed");
        const QByteArray bytes = pattern(10000);
        const quint16 port = freePort();
        QVERIFY(port);
        QProcess listener;
        listener.setStandardInputFile(QProcess::nullDevice());
        listener.setStandardOutputFile(dir.filePath("nc.out"));
        listener.start(nc, {"-l", "127.0.0.1", QString::number(port)});
        QVERIFY(listener.waitForStarted());
        // nc listens a moment after it started: try until it answers.
        std::unique_ptr<ITcpSender> sender;
        QVERIFY(QTest::qWaitFor([&] { return (sender = connectedSender(port)) != nullptr; }, Timeout));
        PFileProtocol protocol;
        protocol.setInterface(sender.get());
        QVERIFY(sendBounded(protocol, file("nc.cpz", bytes)));
        QVERIFY(listener.waitForFinished(Timeout));
        QCOMPARE(readFile(dir.filePath("nc.out")), bytes);
    }

    void sendNeedsAConnectionAndAFile()
    {
        PFileProtocol offline;
        QVERIFY(!offline.sendFile(file("x.cpz", "x")));
        QCOMPARE(offline.outcome(), PFileProtocol::Outcome::Failed);
        Sending link;
        QVERIFY(link.sender && !link.protocol.sendFile(dir.filePath("missing.cpz")));
        QVERIFY(link.protocol.errorString().contains("missing.cpz"));
    }

    void serverReceives_data()
    {
        QTest::addColumn<qint64>("limit");
        QTest::newRow("one sender to the end, a second turned away") << qint64(0);
        QTest::newRow("a stream past the limit is cut, the old file kept") << qint64(100000);
    }
    void serverReceives()
    {
        QFETCH(qint64, limit);
        const QString target = limit ? file("limit.cpn", "old panel") : dir.filePath("download.cpn");
        PFileProtocol protocol;
        ITcpServer server;
        if (limit)
            protocol.setReceiveLimit(limit);
        server.setProtocol(&protocol);
        protocol.setInterface(&server);
        QVERIFY(server.open() && protocol.receiveFile(target));
        QCOMPARE(protocol.temporaryPath(), target + "t");
        QSignalSpy ended(&server, &IInterface::connectionClose);
        QSignalSpy failed(&server, &ITcpServer::receiveFailed);
        const QByteArray bytes = pattern(limit ? 400000 : 300000);
        StreamingPeer first(bytes, limit ? -1 : 100000);
        first.start(server.serverPort());
        if (limit) {
            QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, Timeout);
            QTRY_VERIFY_WITH_TIMEOUT(first.disconnected, Timeout);
            QVERIFY(protocol.bytesReceived() <= limit && !protocol.commitReceived({}));
            QVERIFY(protocol.errorString().startsWith("More than"));
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(protocol.bytesReceived(), qint64(100000), Timeout);
            // A second sender while the first is sending is turned away.
            StreamingPeer second("intruder");
            second.start(server.serverPort());
            QTRY_VERIFY_WITH_TIMEOUT(second.disconnected, Timeout);
            QCOMPARE(protocol.bytesReceived(), qint64(100000));
            first.resume();
            QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, Timeout);
            QCOMPARE(failed.count(), 0);
            QCOMPARE(protocol.bytesReceived(), qint64(bytes.size()));
            QVERIFY(protocol.commitReceived({}));
        }
        QCOMPARE(readFile(target), limit ? QByteArray("old panel") : bytes);
        QVERIFY(!QFile::exists(target + "t"));
    }
};

QTEST_GUILESS_MAIN(tst_FileTransfer)
#include "tst_filetransfer.moc"
