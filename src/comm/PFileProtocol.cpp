#include "PFileProtocol.h"

#include "ITcpSender.h"
#include "KvrLogging.h"

#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QTimer>

PFileProtocol::PFileProtocol(QObject *parent) : PProtocol(parent) {}

PFileProtocol::~PFileProtocol()
{
    discardReceived();
}

QString PFileProtocol::typeName() const
{
    return QStringLiteral("File");
}

// --- sending -------------------------------------------------------------------

bool PFileProtocol::sendFile(const QString &path)
{
    if (m_sendLoop) {
        qCWarning(lcComm) << "PFileProtocol: a send is already under way.";
        return false;
    }
    m_outcome = Outcome::None;
    m_error.clear();
    m_sent = 0;
    m_total = 0;
    m_ending = false;
    auto *sender = qobject_cast<ITcpSender *>(m_interface.data());
    if (!sender || !sender->isConnected()) {
        finishSend(Outcome::Failed, tr("There is no connection to the mobile device."));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        finishSend(Outcome::Failed, tr("Cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    m_total = file.size();

    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(m_stallTimeoutMs);
    connect(&stall, &QTimer::timeout, this, [this] {
        finishSend(Outcome::Failed, tr("The mobile device took nothing for %1 seconds.").arg(m_stallTimeoutMs / 1000.0));
    });
    QEventLoop loop;
    const QList<QMetaObject::Connection> links = {
        connect(sender, &ITcpSender::bytesWritten, this, &PFileProtocol::onBytesWritten),
        connect(sender, &IInterface::interfaceStateChanged, this,
                [this, sender](bool connected) {
                    if (!connected)
                        finishSend(Outcome::Failed, sender->errorString());
                }),
        connect(sender, &IInterface::connectionClose, this, [this] { finishSend(Outcome::Sent); }),
    };
    m_sendFile = &file;
    m_stallTimer = &stall;
    m_sendLoop = &loop;

    emit sendProgress(0, m_total);
    stall.start();
    writeNextPiece();
    if (m_outcome == Outcome::None)
        loop.exec();
    // The loop also ends when the whole program quits.
    if (m_outcome == Outcome::None)
        finishSend(Outcome::Aborted, tr("The program is ending."));

    for (const QMetaObject::Connection &link : links)
        disconnect(link);
    m_sendLoop = nullptr;
    m_stallTimer = nullptr;
    m_sendFile = nullptr;
    if (m_outcome != Outcome::Sent && m_interface == sender)
        sender->abort();
    return m_outcome == Outcome::Sent;
}

void PFileProtocol::writeNextPiece()
{
    if (m_outcome != Outcome::None)
        return;
    auto *sender = qobject_cast<ITcpSender *>(m_interface.data());
    if (!sender) {
        finishSend(Outcome::Failed, tr("The connection to the mobile device is gone."));
        return;
    }
    if (m_sendFile->atEnd()) {
        // Every byte has left: the end of the stream is the end of the file.
        if (!m_ending) {
            m_ending = true;
            sender->close();
        }
        return;
    }
    const QByteArray piece = m_sendFile->read(PieceBytes);
    if (piece.isEmpty()) {
        finishSend(Outcome::Failed, tr("Cannot read the file: %1").arg(m_sendFile->errorString()));
        return;
    }
    const quint32 taken = sender->send(piece, IInterface::Immediate, QString(), 0);
    if (qint64(taken) != piece.size())
        finishSend(Outcome::Failed, tr("The connection took %1 of %2 bytes.").arg(taken).arg(piece.size()));
}

void PFileProtocol::onBytesWritten(qint64 bytes)
{
    if (m_outcome != Outcome::None)
        return;
    m_sent += bytes;
    m_stallTimer->start();
    const auto *sender = qobject_cast<ITcpSender *>(m_interface.data());
    if (sender && sender->bytesToWrite() == 0) {
        emit sendProgress(m_sent, m_total);
        writeNextPiece();
    }
}

void PFileProtocol::finishSend(Outcome outcome, const QString &error)
{
    if (m_outcome != Outcome::None)
        return;
    m_outcome = outcome;
    m_error = error;
    if (m_stallTimer)
        m_stallTimer->stop();
    if (m_sendLoop)
        m_sendLoop->quit();
    if (outcome != Outcome::Sent)
        qCDebug(lcComm) << "PFileProtocol: send ended after" << m_sent << "of" << m_total << "bytes:" << error;
}

void PFileProtocol::abort()
{
    if (m_sendLoop)
        finishSend(Outcome::Aborted, tr("Sending was aborted."));
}

// --- receiving -----------------------------------------------------------------

QString PFileProtocol::temporaryPath() const
{
    return m_target.isEmpty() ? QString() : m_target + QLatin1Char('t');
}

bool PFileProtocol::receiveFile(const QString &path)
{
    discardReceived();
    m_target = path;
    m_received = 0;
    m_receiveFailed = false;
    m_error.clear();
    m_receiveFile = new QFile(temporaryPath());
    if (!m_receiveFile->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = tr("Cannot write %1: %2").arg(temporaryPath(), m_receiveFile->errorString());
        delete m_receiveFile;
        m_receiveFile = nullptr;
        return false;
    }
    return true;
}

bool PFileProtocol::handleReply(const QByteArray &bytes)
{
    if (!m_receiveFile || !m_receiveFile->isOpen() || m_receiveFailed)
        return false;
    if (m_received + bytes.size() > m_receiveLimit) {
        m_receiveFailed = true;
        m_error = tr("More than %1 arrived; a control panel is never that large.")
                      .arg(QLocale().formattedDataSize(m_receiveLimit));
        return false;
    }
    if (m_receiveFile->write(bytes) != bytes.size()) {
        m_receiveFailed = true;
        m_error = tr("Cannot write %1: %2").arg(temporaryPath(), m_receiveFile->errorString());
        return false;
    }
    m_received += bytes.size();
    return true;
}

void PFileProtocol::connectionClose()
{
    if (m_receiveFile && m_receiveFile->isOpen())
        m_receiveFile->close();
}

bool PFileProtocol::commitReceived(const ContentCheck &check)
{
    if (!m_receiveFile) {
        m_error = tr("Nothing is being received.");
        return false;
    }
    connectionClose();
    bool committed = false;
    QString reason;
    if (m_receiveFailed) {
        // The reason was kept when the stream was refused.
    } else if (m_receiveFile->error() != QFileDevice::NoError) {
        m_error = tr("Cannot write %1: %2").arg(temporaryPath(), m_receiveFile->errorString());
    } else if (m_received == 0) {
        m_error = tr("Nothing was received.");
    } else if (check && !check(temporaryPath(), &reason)) {
        m_error = reason;
    } else {
        committed = replaceTarget();
    }
    const QString error = m_error;
    discardReceived();
    m_error = error;
    return committed;
}

bool PFileProtocol::replaceTarget()
{
    QFile source(temporaryPath());
    QSaveFile target(m_target);
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly)) {
        m_error = tr("Cannot replace %1: %2").arg(m_target, target.errorString());
        return false;
    }
    // QSaveFile writes beside the target and renames over it at the end, so
    // the old file stays whole until the new one is.
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size()) {
            target.cancelWriting();
            m_error = tr("Cannot replace %1: %2").arg(m_target, target.errorString());
            return false;
        }
    }
    if (!target.commit()) {
        m_error = tr("Cannot replace %1: %2").arg(m_target, target.errorString());
        return false;
    }
    return true;
}

void PFileProtocol::discardReceived()
{
    if (!m_receiveFile)
        return;
    m_receiveFile->close();
    QFile::remove(temporaryPath());
    delete m_receiveFile;
    m_receiveFile = nullptr;
    m_error.clear();
}
