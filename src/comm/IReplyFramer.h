#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

// Cuts the bytes a device sends into reply lines. Replies end with CR, and
// several replies in one write are separated by ";"; ACK and NAK need no
// line end. A reply may arrive in pieces: the unterminated tail waits for
// the next read, and quiet() tells when the device has said nothing more
// for a while, so that the owner can decide whether to take the tail as it
// is.
class IReplyFramer : public QObject
{
    Q_OBJECT
public:
    static constexpr int QuietMs = 200;

    explicit IReplyFramer(QObject *parent = nullptr);
    ~IReplyFramer() override;

    // The complete replies that bytes finish, in order.
    QList<QByteArray> feed(const QByteArray &bytes);
    // The bytes that still wait for their line end.
    QByteArray tail() const { return m_tail; }
    // The tail, taken as a reply of its own.
    QByteArray takeTail();
    void clear();
    void setQuietInterval(int ms) { m_quiet.setInterval(ms); }

signals:
    void quiet();

private:
    QByteArray m_tail;
    QTimer m_quiet;
};
