#include "ITcpClientThread.h"

#include "IInterface.h"
#include "KvrLogging.h"
#include "PProtocol.h"

#include <QTime>

namespace {

constexpr char Ack = 0x06;
constexpr char Nak = 0x15;

QString now()
{
    return QTime::currentTime().toString(QStringLiteral("H:mm:ss.zzz"));
}

} // namespace

ITcpClientThread::ITcpClientThread(ICountedQueue<Record> *records,
                                   ICountedQueue<QByteArray> *replies, Writer writer,
                                   QObject *parent)
    : QThread(parent), m_records(records), m_replies(replies), m_writer(std::move(writer))
{
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(200);
    m_dispatchTimer.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &ITcpClientThread::onDeadline);
    connect(&m_dispatchTimer, &QTimer::timeout, this, &ITcpClientThread::onDispatch);
}

ITcpClientThread::~ITcpClientThread() = default;

void ITcpClientThread::setProtocol(PProtocol *protocol)
{
    m_protocol = protocol;
}

bool ITcpClientThread::isPending(const QByteArray &data) const
{
    if ((m_state == Awaiting || m_state == WriteAgain) && m_current.data == data)
        return true;
    return m_records->containsIf([&data](const Record &record) { return record.data == data; });
}

bool ITcpClientThread::replaceQueuedSet(const Record &record)
{
    if (record.parameter.isEmpty())
        return false;
    Record *queued = m_records->findIf([&record](const Record &other) {
        return other.parameter == record.parameter && other.mode == record.mode;
    });
    if (!queued)
        return false;
    queued->data = record.data;
    return true;
}

bool ITcpClientThread::mayBeginAwaitedReply(const QByteArray &bytes) const
{
    if (m_state != Awaiting || m_current.mode != IInterface::ReplyExpected || m_current.tag.isEmpty())
        return false;
    return bytes.startsWith(m_current.tag) || m_current.tag.startsWith(bytes);
}

QList<ITcpClientThread::Record> ITcpClientThread::takeUnconfirmedSets()
{
    const auto isSet = [](const Record &record) { return record.mode == IInterface::AckExpected; };
    QList<Record> sets;
    if ((m_state == Awaiting || m_state == WriteAgain) && isSet(m_current))
        sets.append(m_current);
    sets += m_records->takeIf(isSet);
    return sets;
}

void ITcpClientThread::schedule()
{
    if (!m_processing || m_dispatchTimer.isActive())
        return;
    const qint64 since = m_lastPass.isValid() ? m_lastPass.elapsed() : qint64(PassIntervalMs);
    m_dispatchTimer.start(int(qMax<qint64>(0, PassIntervalMs - since)));
}

void ITcpClientThread::onStartMessageProcessing()
{
    clearQueues();
    m_deadline.stop();
    m_deadlinePassed = false;
    m_state = Idle;
    m_processing = true;
    schedule();
}

void ITcpClientThread::onQuitMessageProcessing()
{
    m_processing = false;
    m_dispatchTimer.stop();
    m_deadline.stop();
    m_deadlinePassed = false;
    m_state = Idle;
    clearQueues();
}

void ITcpClientThread::onReplyReady()
{
    // An answer ends the wait at once; anything else is routed with the
    // next pass.
    if (m_state == Awaiting && m_processing) {
        m_dispatchTimer.stop();
        onDispatch();
    } else {
        schedule();
    }
}

void ITcpClientThread::onDeadline()
{
    emit deadlineReached();
    m_deadlinePassed = true;
    if (m_state == Awaiting)
        onDispatch();
}

void ITcpClientThread::onDispatch()
{
    m_dispatchTimer.stop();
    if (!m_processing)
        return;
    m_lastPass.restart();
    switch (m_state) {
    case Idle:
        routeQueuedReplies();
        if (m_processing && m_state == Idle)
            takeNext();
        break;
    case Awaiting:
        processReplies();
        break;
    case WriteAgain:
        writeCurrent();
        break;
    }
    if (m_processing && hasWork())
        schedule();
}

bool ITcpClientThread::hasWork() const
{
    switch (m_state) {
    case Idle:
        return !m_records->isEmpty() || !m_replies->isEmpty();
    case Awaiting:
        // The answer or the deadline ends the wait.
        return false;
    case WriteAgain:
        return true;
    }
    return false;
}

void ITcpClientThread::takeNext()
{
    if (!m_records->tryTake(m_current))
        return;
    m_retries = 0;
    writeCurrent();
}

void ITcpClientThread::writeCurrent()
{
    if (m_current.data.isEmpty()) {
        m_state = Idle;
        return;
    }
    const bool awaitsAnswer = m_current.mode != IInterface::NoAnswer;
    const qint64 written = m_writer ? m_writer(m_current.data, awaitsAnswer) : -1;
    if (written != m_current.data.size()) {
        qCDebug(lcComm) << "Short write:" << written << "of" << m_current.data.size() << "bytes";
        fail();
        return;
    }
    if (m_current.mode == IInterface::NoAnswer) {
        m_state = Idle;
        return;
    }
    m_state = Awaiting;
    m_deadlinePassed = false;
    m_written.start();
    m_deadline.start(int(m_current.timeoutMs));
}

void ITcpClientThread::processReplies()
{
    QByteArray reply;
    while (m_processing && m_state == Awaiting && m_replies->tryTake(reply)) {
        switch (judge(reply)) {
        case Verdict::Answer:
            complete();
            emit messageAnswered();
            break;
        case Verdict::Failure:
            fail();
            break;
        case Verdict::NotMine:
            break;
        }
    }
    if (m_processing && m_state == Awaiting && m_deadlinePassed)
        fail(true);
}

ITcpClientThread::Verdict ITcpClientThread::judge(const QByteArray &reply)
{
    switch (m_current.mode) {
    case IInterface::AckExpected:
        return checkAcknowledge(reply);
    case IInterface::ReplyExpected:
        return acceptReply(reply);
    default:
        deliver(reply);
        return Verdict::NotMine;
    }
}

ITcpClientThread::Verdict ITcpClientThread::checkAcknowledge(const QByteArray &reply)
{
    if (reply.isEmpty())
        return Verdict::Failure;
    const char first = reply.at(0);
    if (first == Ack) {
        // Whatever came behind the ACK without a separator is a line of
        // its own.
        deliver(reply.mid(1));
        return Verdict::Answer;
    }
    if (first == Nak) {
        qCDebug(lcComm).noquote() << now() << "RECEIVED NAK, not ACK";
        deliver(reply.mid(1));
        emit messageRefused(m_current.data);
        return Verdict::Failure;
    }
    qCDebug(lcComm).noquote() << now() << "RECEIVED FIRST BYTE = " + QString(QLatin1Char(first))
                                              + ", EXPECTED ACK";
    // A text line is no acknowledgement: it is a pushed value or a late
    // answer, and the command goes on waiting for its ACK.
    deliver(reply);
    return Verdict::NotMine;
}

ITcpClientThread::Verdict ITcpClientThread::acceptReply(const QByteArray &reply)
{
    int skip = 0;
    bool refused = false;
    while (skip < reply.size() && (reply.at(skip) == Ack || reply.at(skip) == Nak)) {
        refused = refused || reply.at(skip) == Nak;
        ++skip;
    }
    const QByteArray text = reply.mid(skip);
    if (refused && text.isEmpty()) {
        emit messageRefused(m_current.data);
        return Verdict::Failure;
    }
    if (m_current.tag.isEmpty() || (!text.isEmpty() && text.startsWith(m_current.tag))) {
        deliver(text);
        return Verdict::Answer;
    }
    // Not this command's answer: it still reaches the transforms that wait
    // for it.
    deliver(text);
    if (!refused)
        return Verdict::NotMine;
    emit messageRefused(m_current.data);
    return Verdict::Failure;
}

void ITcpClientThread::complete()
{
    m_deadline.stop();
    m_deadlinePassed = false;
    m_state = Idle;
}

void ITcpClientThread::fail(bool timedOut)
{
    m_deadline.stop();
    m_deadlinePassed = false;
    m_state = m_retries++ < MaxWrites - 1 ? WriteAgain : Idle;
    // Lines already received cannot answer the next write of the command.
    routeQueuedReplies();
    const QString tag = QString::fromUtf8(m_current.tag);
    const Record given = m_current;
    emit messageError(m_current.data);
    if (m_processing && m_state == Idle && timedOut && given.mode == IInterface::AckExpected)
        emit setUnanswered(given);
    // The protocol hears of every unanswered or refused attempt of a
    // command that waits for a reply (a refused subscription is polled).
    // The failure may have reset the connection: what failed on the old one
    // must not reach the protocol of the next.
    if (m_processing && m_protocol && (timedOut || !tag.isEmpty()))
        m_protocol->replyTimeout(tag);
}

void ITcpClientThread::routeQueuedReplies()
{
    QByteArray reply;
    while (m_processing && m_replies->tryTake(reply))
        deliver(reply);
}

void ITcpClientThread::deliver(const QByteArray &text)
{
    if (text.isEmpty() || !m_protocol)
        return;
    const QList<QByteArray> lines = text.split('\r');
    for (const QByteArray &line : lines) {
        if (!m_processing || !m_protocol)
            return;
        m_protocol->handleReply(line);
    }
}

void ITcpClientThread::clearQueues()
{
    m_records->clear();
    m_replies->clear();
}
