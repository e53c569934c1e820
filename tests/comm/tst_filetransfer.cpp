// The file protocol on real loopback sockets: sending through the plain
// sender to listening peers (ours and netcat), receiving through the
// receive server from streaming peers, and what becomes of the target.

#include "../TransferPeers.h"
#include "ITcpSender.h"
#include "ITcpServer.h"
#include "PFileProtocol.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace transfertest;

namespace {
// A receive server for target, handing what it takes to its protocol.
struct Receiver
{
    explicit Receiver(const QString &target, qint64 limit = 0)
    {
        if (limit)
            protocol.setReceiveLimit(limit);
        server.setProtocol(&protocol);
        protocol.setInterface(&server);
        ready = server.open() && protocol.receiveFile(target);
    }
    PFileProtocol protocol;
    ITcpServer server;
    bool ready = false;
};
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
    // A sender connected to the port, or null.
    static std::unique_ptr<ITcpSender> connectedSender(quint16 port)
    {
        auto sender = std::make_unique<ITcpSender>();
        sender->setAddress(QStringLiteral("127.0.0.1"));
        sender->setPort(port);
        sender->open();
        if (!QTest::qWaitFor([&] { return sender->isConnected() || !sender->errorString().isEmpty(); }, Timeout))
            return nullptr;
        return sender->isConnected() ? std::move(sender) : nullptr;
    }
    // Sends with a fallback that aborts a send which never ends, so a
    // broken send fails the test instead of hanging it.
    static bool sendBounded(PFileProtocol &protocol, const QString &path)
    {
        QTimer::singleShot(30000, &protocol, &PFileProtocol::abort);
        return protocol.sendFile(path);
    }

private slots:
    void sendsTheWholeFileInPieces_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<qint64>>("progress");
        QTest::newRow("10000 bytes") << 10000 << QList<qint64>{0, 4096, 8192, 10000};
        QTest::newRow("one piece exactly") << 4096 << QList<qint64>{0, 4096};
        QTest::newRow("empty file") << 0 << QList<qint64>{0};
    }
    void sendsTheWholeFileInPieces()
    {
        QFETCH(int, size);
        const QByteArray bytes = pattern(size);
        ListeningPeer phone;
        QVERIFY(phone.listen());
        auto sender = connectedSender(phone.port());
        QVERIFY(sender);
        PFileProtocol protocol;
        protocol.setInterface(sender.get());
        QList<qint64> seen;
        connect(&protocol, &PFileProtocol::sendProgress, this, [&](qint64 sent, qint64 total) {
            seen << sent;
            QCOMPARE(total, qint64(size));
        });
        QVERIFY(sendBounded(protocol, file("send.cpz", bytes)));
        QCOMPARE(protocol.outcome(), PFileProtocol::Outcome::Sent);
        QTEST(seen, "progress");
        QCOMPARE(protocol.bytesSent(), qint64(size));
        // The end of the stream is the end of the file.
        QTRY_VERIFY_WITH_TIMEOUT(phone.closed, Timeout);
        QCOMPARE(phone.received, bytes);
        QCOMPARE(phone.connections, 1);
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

    // An Abort midway is met through the progress dialog of the transfer tests.
    void sendEndsOnFaultyPeers_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("size");
        QTest::newRow("phone closes at once") << int(ListeningPeer::CloseAtOnce) << (1 << 20);
        // Larger than what the kernel buffers on loopback, so that a peer
        // that reads nothing stops the send.
        QTest::newRow("phone stops reading") << int(ListeningPeer::StopReading) << (16 << 20);
    }
    void sendEndsOnFaultyPeers()
    {
        QFETCH(int, mode);
        QFETCH(int, size);
        ListeningPeer phone{ListeningPeer::Mode(mode)};
        QVERIFY(phone.listen());
        auto sender = connectedSender(phone.port());
        QVERIFY(sender);
        PFileProtocol protocol;
        protocol.setInterface(sender.get());
        protocol.setStallTimeout(300);
        QVERIFY(!sendBounded(protocol, file("big.cpz", QByteArray(size, 'k'))));
        QCOMPARE(protocol.outcome(), PFileProtocol::Outcome::Failed);
        QVERIFY(protocol.bytesSent() < qint64(size));
        QVERIFY(!protocol.errorString().isEmpty());
    }

    void sendNeedsAConnectionAndAFile()
    {
        PFileProtocol protocol;
        QVERIFY(!protocol.sendFile(file("x.cpz", "x")));
        QCOMPARE(protocol.outcome(), PFileProtocol::Outcome::Failed);
        ListeningPeer phone;
        QVERIFY(phone.listen());
        auto sender = connectedSender(phone.port());
        QVERIFY(sender);
        protocol.setInterface(sender.get());
        QVERIFY(!protocol.sendFile(dir.filePath("missing.cpz")));
        QVERIFY(protocol.errorString().contains("missing.cpz"));
    }

    void serverTakesOneSenderToTheEnd()
    {
        const QString target = dir.filePath("download.cpn");
        Receiver receiver(target);
        QVERIFY(receiver.ready);
        PFileProtocol &protocol = receiver.protocol;
        QCOMPARE(protocol.temporaryPath(), target + "t");
        QSignalSpy ended(&receiver.server, &IInterface::connectionClose);
        QSignalSpy failed(&receiver.server, &ITcpServer::receiveFailed);
        const QByteArray bytes = pattern(300000);
        StreamingPeer first(bytes, 100000);
        first.start(receiver.server.serverPort());
        QTRY_COMPARE_WITH_TIMEOUT(protocol.bytesReceived(), qint64(100000), Timeout);
        // A second sender while the first is sending is turned away.
        StreamingPeer second("intruder");
        second.start(receiver.server.serverPort());
        QTRY_VERIFY_WITH_TIMEOUT(second.disconnected, Timeout);
        QCOMPARE(protocol.bytesReceived(), qint64(100000));
        first.resume();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, Timeout);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(protocol.bytesReceived(), qint64(bytes.size()));
        QVERIFY(protocol.commitReceived({}));
        QCOMPARE(readFile(target), bytes);
        QVERIFY(!QFile::exists(target + "t"));
    }

    void serverCutsAStreamPastTheLimit()
    {
        const QString target = file("limit.cpn", "old panel");
        Receiver receiver(target, 100000);
        QVERIFY(receiver.ready);
        QSignalSpy failed(&receiver.server, &ITcpServer::receiveFailed);
        StreamingPeer flood(pattern(400000));
        flood.start(receiver.server.serverPort());
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(flood.disconnected, Timeout);
        QVERIFY(receiver.protocol.bytesReceived() <= 100000);
        QVERIFY(!receiver.protocol.commitReceived({}));
        QVERIFY(receiver.protocol.errorString().startsWith("More than"));
        QCOMPARE(readFile(target), QByteArray("old panel"));
        QVERIFY(!QFile::exists(target + "t"));
    }
};

QTEST_GUILESS_MAIN(tst_FileTransfer)
#include "tst_filetransfer.moc"
