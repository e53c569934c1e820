#include "IReplyFramer.h"

namespace {

constexpr char Ack = 0x06;
constexpr char Nak = 0x15;
// A device that never ends its lines must not make the client hoard bytes.
constexpr int MaxTailBytes = 65536;

bool onlyAcknowledgeBytes(const QByteArray &bytes)
{
    for (const char c : bytes) {
        if (c != Ack && c != Nak)
            return false;
    }
    return true;
}

} // namespace

IReplyFramer::IReplyFramer(QObject *parent) : QObject(parent)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(QuietMs);
    connect(&m_quiet, &QTimer::timeout, this, &IReplyFramer::quiet);
}

IReplyFramer::~IReplyFramer() = default;

QList<QByteArray> IReplyFramer::feed(const QByteArray &bytes)
{
    QList<QByteArray> replies;
    m_tail += bytes;
    int start = 0;
    for (int i = 0; i < m_tail.size(); ++i) {
        const char c = m_tail.at(i);
        if (c != '\r' && c != ';')
            continue;
        if (i > start)
            replies.append(m_tail.mid(start, i - start));
        start = i + 1;
    }
    m_tail.remove(0, start);
    if ((!m_tail.isEmpty() && onlyAcknowledgeBytes(m_tail)) || m_tail.size() > MaxTailBytes)
        replies.append(takeTail());
    if (m_tail.isEmpty())
        m_quiet.stop();
    else
        m_quiet.start();
    return replies;
}

QByteArray IReplyFramer::takeTail()
{
    m_quiet.stop();
    QByteArray tail;
    tail.swap(m_tail);
    return tail;
}

void IReplyFramer::clear()
{
    m_quiet.stop();
    m_tail.clear();
}
