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
// A device that pushes subscribed values is dispatched like one that is
// polled: a pushed line is never taken for the answer of the command that
// waits, and a command whose answer does not come in time fails, so that a
// lost acknowledgement or a device gone silent is noticed in both.
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
        // A set command: the parameter it changes, so that a newer value
        // for it can take the place of one not yet written.
        QByteArray parameter;
    };

    enum State { Idle = 0, Awaiting = 1, WriteAgain = 2 };

    // Passes run at most this often, and only while there is work.
    static constexpr int PassIntervalMs = 10;
    static constexpr int MaxWrites = 3;

    // Writes bytes to the device and answers how many were written (-1 on
    // an error); awaitsAnswer tells whether the device is to answer them.
    using Writer = std::function<qint64(const QByteArray &bytes, bool awaitsAnswer)>;

    ITcpClientThread(ICountedQueue<Record> *records, ICountedQueue<QByteArray> *replies,
                     Writer writer, QObject *parent = nullptr);
    ~ITcpClientThread() override;

    void setProtocol(PProtocol *protocol);
    bool isProcessing() const { return m_processing; }
    State state() const { return m_state; }
    // Whether a command with these bytes waits to be written, or waits for
    // its answer.
    bool isPending(const QByteArray &data) const;
    // A set command of record's parameter that waits to be written takes
    // record's bytes; false when there is none (record is then to be
    // queued).
    bool replaceQueuedSet(const Record &record);
    // Whether bytes received without their line end may be the beginning
    // of the answer that the current command waits for.
    bool mayBeginAwaitedReply(const QByteArray &bytes) const;
    // The set commands that the device has not acknowledged yet (the one
    // waiting for its ACK first), taken out of the queue: a connection that
    // is lost hands them to the next.
    QList<Record> takeUnconfirmedSets();
    // Whether a pass is due; an idle connection schedules none.
    bool isPassScheduled() const { return m_dispatchTimer.isActive(); }
    // How long the current command has waited for its answer since it was
    // last written, and how long it may; -1 while nothing waits.
    qint64 awaitedMs() const { return m_state == Awaiting ? m_written.elapsed() : -1; }
    quint32 currentTimeoutMs() const { return m_current.timeoutMs; }
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
    // The current command's time is up; bytes still waiting for their line
    // end are to be taken as they are before its answer is judged.
    void deadlineReached();
    // A set command was given up because its last write had no answer at
    // all: on a link that has died it was never carried out.
    void setUnanswered(const ITcpClientThread::Record &record);

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
    // A write of the current command failed (timedOut: its answer did not
    // come in time).
    void fail(bool timedOut = false);
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
    bool m_deadlinePassed = false;
    QTimer m_deadline;
    QTimer m_dispatchTimer;
    QElapsedTimer m_lastPass;
    QElapsedTimer m_written;
};
