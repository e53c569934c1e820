#include "CheckProbe.h"

#include "HChassis.h"
#include "IInterfaceFactory.h"
#include "ITcpClient.h"
#include "PKVDCommand.h"
#include "PKVDProtocol.h"

namespace {
// A query the connection dropped under is asked once more on the next one.
constexpr int MaxHandOvers = 2;
} // namespace

CheckProbe::CheckProbe(HChassis *chassis, QObject *parent)
    : PProtocol(parent)
    , m_chassis(chassis)
{
    m_connectWindow.setSingleShot(true);
    connect(&m_connectWindow, &QTimer::timeout, this, &CheckProbe::onConnectWindowOver);
}

CheckProbe::~CheckProbe()
{
    if (m_client)
        m_client->close();
}

int CheckProbe::addQuestion(const QString &query)
{
    for (int i = 0; i < m_questions.size(); ++i) {
        if (m_questions.at(i).query == query)
            return i;
    }
    Question question;
    question.query = query;
    question.tag = PKVDCommand::replyTag(query);
    m_questions.append(question);
    return int(m_questions.size()) - 1;
}

QString CheckProbe::addressText() const
{
    return m_chassis->ipAddress().trimmed();
}

int CheckProbe::port() const
{
    return IInterfaceFactory::portNumber(m_chassis->serialPort());
}

QString CheckProbe::typeName() const
{
    return QStringLiteral("Check");
}

void CheckProbe::start(int connectWindowMs)
{
    if (addressText().isEmpty() || port() <= 0) {
        stop(QStringLiteral("the device has no address"));
        return;
    }
    m_client = qobject_cast<ITcpClient *>(
        IInterfaceFactory::instance().create(this, addressText(), port(), m_chassis, this));
    if (!m_client) {
        stop(QStringLiteral("no client for the device"));
        return;
    }
    connect(m_client, &IInterface::interfaceStateChanged, this, &CheckProbe::onStateChanged);
    ITcpClientThread *dispatcher = m_client->dispatcher();
    connect(dispatcher, &ITcpClientThread::messageAnswered, this, &CheckProbe::onAnswered);
    connect(dispatcher, &ITcpClientThread::messageRefused, this, &CheckProbe::onRefused);
    connect(dispatcher, &ITcpClientThread::messageError, this, &CheckProbe::onError);
    m_connectWindow.setInterval(connectWindowMs);
    m_connectWindow.start();
    m_client->open();
}

void CheckProbe::stop(const QString &reason)
{
    if (m_finished)
        return;
    giveUp(reason);
    finish();
}

void CheckProbe::onStateChanged(bool connected)
{
    if (m_finished)
        return;
    // The client reports the device offline when a connection attempt
    // fails: a device that turns one away, or lets it time out, is not
    // serving, and waiting for it would only spend the time limit.
    if (!connected && !m_connected) {
        stop(m_wasConnected ? QStringLiteral("the device dropped the connection and took no new one")
                            : QStringLiteral("the device took no connection"));
        return;
    }
    if (connected == m_connected)
        return;
    m_connected = connected;
    if (connected) {
        m_wasConnected = true;
        m_connectWindow.stop();
        // The client starts its dispatcher after it reports the connection.
        QTimer::singleShot(0, this, &CheckProbe::askNext);
    } else {
        // The client connects again by itself; the probe waits as long as
        // for the first connection.
        m_connectWindow.start();
    }
}

void CheckProbe::onConnectWindowOver()
{
    stop(m_wasConnected ? QStringLiteral("the device dropped the connection")
                        : QStringLiteral("the device took no connection"));
}

void CheckProbe::askNext()
{
    if (m_finished || !m_connected)
        return;
    if (m_current < 0) {
        for (int i = 0; i < m_questions.size() && m_current < 0; ++i) {
            if (m_questions.at(i).outcome == Outcome::Pending)
                m_current = i;
        }
        if (m_current < 0) {
            finish();
            return;
        }
    }
    Question &question = m_questions[m_current];
    if (question.writes >= MaxHandOvers) {
        settle(Outcome::Unanswered, QStringLiteral("the connection dropped while it was asked"));
        return;
    }
    ++question.writes;
    m_sent = (question.query + QLatin1Char('\r')).toUtf8();
    m_refusedSeen = false;
    m_client->send(m_sent, IInterface::ReplyExpected, question.tag, PKVDProtocol::ReplyTimeoutMs);
}

void CheckProbe::onAnswered()
{
    if (m_current >= 0)
        settle(Outcome::Answered);
}

void CheckProbe::onRefused(const QByteArray &bytes)
{
    if (m_current >= 0 && bytes == m_sent)
        m_refusedSeen = true;
}

void CheckProbe::onError(const QByteArray &bytes)
{
    // The dispatcher writes a failed query again until its writes are used
    // up; only then is the outcome known.
    if (m_current < 0 || bytes != m_sent || m_client->dispatcher()->state() != ITcpClientThread::Idle)
        return;
    settle(m_refusedSeen ? Outcome::Refused : Outcome::Unanswered);
}

void CheckProbe::settle(Outcome outcome, const QString &note)
{
    Question &question = m_questions[m_current];
    question.outcome = outcome;
    question.note = note;
    m_current = -1;
    m_sent.clear();
    // The next query goes out once the dispatcher is done with this one.
    QTimer::singleShot(0, this, &CheckProbe::askNext);
}

void CheckProbe::giveUp(const QString &reason)
{
    if (m_stopReason.isEmpty())
        m_stopReason = reason;
    for (Question &question : m_questions) {
        if (question.outcome == Outcome::Pending) {
            question.outcome = Outcome::NotAsked;
            question.note = reason;
        }
    }
    m_current = -1;
}

void CheckProbe::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_connectWindow.stop();
    if (m_client)
        m_client->close();
    emit finished();
}
