#include "PeerSender.h"

#include <QCryptographicHash>
#include <QTextStream>

PeerSender::PeerSender(const QString &path, QObject *parent) : QObject(parent), m_file(path)
{
    connect(&m_socket, &QTcpSocket::connected, this, &PeerSender::writeNext);
    connect(&m_socket, &QTcpSocket::bytesWritten, this, [this](qint64 bytes) {
        m_sent += bytes;
        if (m_socket.bytesToWrite() == 0)
            writeNext();
    });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (!m_closing || m_socket.error() != QAbstractSocket::RemoteHostClosedError)
            fail(m_socket.errorString());
    });
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        if (!m_closing || m_socket.bytesToWrite() > 0) {
            fail(QStringLiteral("the receiver closed the connection"));
            return;
        }
        QCryptographicHash hash(QCryptographicHash::Sha256);
        m_file.seek(0);
        hash.addData(&m_file);
        QTextStream(stdout) << "mobilepeer: sent " << m_sent << " bytes, sha256 " << hash.result().toHex()
                            << Qt::endl;
        emit finished(0);
    });
}

void PeerSender::start(const QString &host, quint16 port)
{
    if (!m_file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1: %2").arg(m_file.fileName(), m_file.errorString()));
        return;
    }
    m_socket.connectToHost(host, port);
}

void PeerSender::writeNext()
{
    if (m_closing)
        return;
    if (m_file.atEnd()) {
        m_closing = true;
        m_socket.disconnectFromHost();
        return;
    }
    m_socket.write(m_file.read(4096));
}

void PeerSender::fail(const QString &reason)
{
    QTextStream(stderr) << "mobilepeer: sending failed after " << m_sent << " bytes: " << reason << Qt::endl;
    m_socket.abort();
    emit finished(1);
}
