#pragma once

#include "PProtocol.h"

#include <QPointer>
#include <functional>

class QEventLoop;
class QFile;
class QTimer;

// The transfer of a panel file to or from a mobile device. On the wire there
// is nothing but the file's bytes: the sender writes them in pieces and
// closes the connection, the receiver takes everything up to the close as
// the file.
//
// Sending goes through an ITcpSender: each piece is written once the one
// before it has left, so that the window stays live, an Abort takes effect
// at once and a peer that stops reading is noticed. Receiving writes what
// the receive server hands over into a temporary file beside the target; the
// target is replaced only by a checked, complete file.
class PFileProtocol : public PProtocol
{
    Q_OBJECT
public:
    static constexpr int PieceBytes = 4096;
    // A send without progress for this long has lost its peer.
    static constexpr int StallTimeoutMs = 10000;
    // Panel files and their archives are a few mebibytes; a longer stream
    // is no panel and must not fill the disk.
    static constexpr qint64 MaxReceiveBytes = 64 * 1024 * 1024;

    enum class Outcome { None, Sent, Aborted, Failed };

    // Whether a received file is what the target may be replaced by; when
    // not, reason says why.
    using ContentCheck = std::function<bool(const QString &path, QString *reason)>;

    explicit PFileProtocol(QObject *parent = nullptr);
    ~PFileProtocol() override;

    QString typeName() const override;

    // Streams the file through the interface, an ITcpSender that is
    // connected, and ends the stream. Events keep running meanwhile; the
    // answer is true only when every byte was written and the connection
    // closed cleanly. outcome() and errorString() tell what happened.
    bool sendFile(const QString &path) override;
    Outcome outcome() const { return m_outcome; }
    qint64 bytesSent() const { return m_sent; }
    qint64 sendSize() const { return m_total; }
    void setStallTimeout(int ms) { m_stallTimeoutMs = ms; }

    // Opens the temporary file (the target's name with "t" appended) that
    // the received bytes go to.
    bool receiveFile(const QString &path) override;
    // Appends received bytes; false without a receive file, when the file
    // cannot be written, or when the stream grows past the limit.
    bool handleReply(const QByteArray &bytes) override;
    QString temporaryPath() const;
    qint64 bytesReceived() const { return m_received; }
    void setReceiveLimit(qint64 bytes) { m_receiveLimit = bytes; }
    // Replaces the target with the received file when it holds at least a
    // byte and passes the check, in one step, so that the target is either
    // the old file or the whole new one. The temporary file is gone
    // afterwards in every case.
    bool commitReceived(const ContentCheck &check);
    // Forgets what was received; the target stays as it was.
    void discardReceived();

    QString errorString() const { return m_error; }

signals:
    // Bytes that have left for the peer, after each whole piece.
    void sendProgress(qint64 sent, qint64 total);

public slots:
    // Closes the receive file.
    void connectionClose();
    // Stops a send under way at once.
    void abort();

private:
    void writeNextPiece();
    void onBytesWritten(qint64 bytes);
    void finishSend(Outcome outcome, const QString &error = QString());
    bool replaceTarget();

    // Sending.
    QFile *m_sendFile = nullptr;
    QEventLoop *m_sendLoop = nullptr;
    QTimer *m_stallTimer = nullptr;
    int m_stallTimeoutMs = StallTimeoutMs;
    qint64 m_total = 0;
    qint64 m_sent = 0;
    bool m_ending = false;
    Outcome m_outcome = Outcome::None;

    // Receiving.
    QFile *m_receiveFile = nullptr;
    QString m_target;
    qint64 m_received = 0;
    qint64 m_receiveLimit = MaxReceiveBytes;
    bool m_receiveFailed = false;

    QString m_error;
};
