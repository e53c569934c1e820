#pragma once

#include "ICountedQueue.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <functional>

class PProtocol;

// The dispatcher of a TCP client: it writes the queued commands one at a
// time, matches each answer to the command that waits for it, writes a
// command at most three times, and hands every other line from the device
// to the protocol's routing.
//
// Its own thread only runs an event loop; the object, its timers and its
// slots live on the thread that created it, with the client and its socket,
// so every queue operation and every write happens there.
class ITcpClientThread : public QThread
{
    Q_OBJECT
public:
    // One queued command.
    struct Record
    {
        int mode = 2;          // an IInterface::SendMode
        QByteArray data;       // the bytes to write
        QByteArray tag;        // what the expected reply begins with
        quint32 timeoutMs = 0; // how long to wait for the answer
    };

    enum State { Idle = 0, Awaiting = 1, WriteAgain = 2 };

    // Passes run at most this often, and only while there is work.
    static constexpr int PassIntervalMs = 10;
    static constexpr int MaxWrites = 3;

    // Writes bytes to the device and answers how many were written (-1 on
    // an error).
    using Writer = std::function<qint64(const QByteArray &)>;

    ITcpClientThread(ICountedQueue<Record> *records, ICountedQueue<QByteArray> *replies,
                     Writer writer, QObject *parent = nullptr);
    ~ITcpClientThread() override;

    void setProtocol(PProtocol *protocol);
    void setStreaming(bool streaming) { m_streaming = streaming; }
    bool isStreaming() const { return m_streaming; }
    bool isProcessing() const { return m_processing; }
    State state() const { return m_state; }
    // Whether a command with these bytes waits to be written, or waits for
    // its answer.
    bool isPending(const QByteArray &data) const;
    // Whether a pass is due; an idle connection schedules none.
    bool isPassScheduled() const { return m_dispatchTimer.isActive(); }
    // A record was queued: a pass runs soon, but never sooner than the pass
    // interval after the last one.
    void schedule();

signals:
    // A write of the current command failed or went unanswered.
    void messageError(const QByteArray &bytes);
    // The current command got its answer.
    void messageAnswered();
    // The device refused a write of the current command with NAK (the
    // write still counts as failed, see messageError).
    void messageRefused(const QByteArray &bytes);

public slots:
    void onStartMessageProcessing();
    void onQuitMessageProcessing();
    void onReplyReady();
    void onDispatch();

private slots:
    void onDeadline();

private:
    enum class Verdict { Answer, Failure, NotMine };

    void takeNext();
    void writeCurrent();
    void processReplies();
    Verdict judge(const QByteArray &reply);
    Verdict checkAcknowledge(const QByteArray &reply);
    Verdict acceptReply(const QByteArray &reply);
    void complete();
    void fail();
    // Lines that answer no waiting command: pushed values, late answers.
    void routeQueuedReplies();
    void deliver(const QByteArray &text);
    void clearQueues();
    bool hasWork() const;

    ICountedQueue<Record> *m_records;
    ICountedQueue<QByteArray> *m_replies;
    Writer m_writer;
    QPointer<PProtocol> m_protocol;
    bool m_processing = false;
    Record m_current;
    int m_retries = 0;
    State m_state = Idle;
    bool m_streaming = false;
    bool m_deadlinePassed = false;
    QTimer m_deadline;
    QTimer m_dispatchTimer;
    QElapsedTimer m_lastPass;
};
