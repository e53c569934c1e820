#include "PeerReceiver.h"

#include <QCryptographicHash>
#include <QTcpSocket>
#include <QTextStream>

PeerReceiver::PeerReceiver(const QString &outPath, Behaviour behaviour, bool keepListening, QObject *parent)
    : QObject(parent), m_out(outPath), m_behaviour(behaviour), m_keepListening(keepListening)
{
    connect(&m_server, &QTcpServer::newConnection, this, &PeerReceiver::accept);
}

bool PeerReceiver::listen(const QHostAddress &address, quint16 port)
{
    return m_server.listen(address, port);
}

void PeerReceiver::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        QTextStream(stdout) << "mobilepeer: connection from " << socket->peerAddress().toString() << Qt::endl;
        if (m_behaviour == Behaviour::Refuse || m_socket) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_socket = socket;
        if (m_behaviour == Behaviour::StopReading) {
            // Reads nothing: the sender's bytes pile up until it gives up.
            socket->setReadBufferSize(1);
            continue;
        }
        if (!m_out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            QTextStream(stderr) << "mobilepeer: cannot write " << m_out.fileName() << ": " << m_out.errorString()
                                << Qt::endl;
            emit finished(1);
            return;
        }
        m_bytes = 0;
        connect(socket, &QTcpSocket::readyRead, this, &PeerReceiver::take);
        connect(socket, &QTcpSocket::disconnected, this, &PeerReceiver::end);
        take();
    }
}

void PeerReceiver::take()
{
    const QByteArray bytes = m_socket->readAll();
    m_out.write(bytes);
    m_bytes += bytes.size();
}

void PeerReceiver::end()
{
    take();
    m_out.close();
    m_socket->deleteLater();
    m_socket = nullptr;
    QFile file(m_out.fileName());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly))
        hash.addData(&file);
    QTextStream(stdout) << "mobilepeer: received " << m_bytes << " bytes, sha256 " << hash.result().toHex()
                        << ", saved to " << m_out.fileName() << Qt::endl;
    if (!m_keepListening)
        emit finished(0);
}
