#include "PKVDProtocol.h"

#include "CAttributes.h"
#include "HNode.h"
#include "IInterface.h"
#include "KvrLogging.h"
#include "PKVDCommand.h"
#include "PLevelReport.h"
#include "TTransform.h"

#include <QTime>

namespace {

constexpr QChar Ack(0x06);
constexpr QChar Nak(0x15);
const QString SubscriptionAnswer = QStringLiteral("SUB \"");
const QString UnsubscriptionAnswer = QStringLiteral("UNS \"");
const QString HandshakeAnswer = QStringLiteral("SUB");

} // namespace

PKVDProtocol::PKVDProtocol(QObject *parent) : PProtocol(parent) {}

PKVDProtocol::~PKVDProtocol() = default;

QString PKVDProtocol::typeName() const
{
    return QStringLiteral("KVD");
}

bool PKVDProtocol::isOnline() const
{
    IInterface *link = interface();
    if (!link) {
        qCDebug(lcComm) << "No interface to get status from.";
        return false;
    }
    return link->isConnected();
}

bool PKVDProtocol::canAddress(const TTransform *transform) const
{
    return transform && transform->ownerAttributes() && transform->node() && isOnline()
           && transform->ownerAttributes()->structure() <= quint32(PKVDCommand::MaxStructure);
}

QString PKVDProtocol::queryFor(const TTransform *transform) const
{
    QString problem;
    const QString query = PKVDCommand::query(transform, &problem);
    if (query.isEmpty() && !problem.isEmpty())
        qCWarning(lcComm).noquote() << problem;
    return query;
}

bool PKVDProtocol::sendValue(TTransform *transform)
{
    if (!canAddress(transform))
        return false;
    QString problem;
    const QStringList commands = PKVDCommand::setCommands(transform, &problem);
    if (commands.isEmpty()) {
        if (!problem.isEmpty())
            qCWarning(lcComm).noquote() << problem;
        return false;
    }
    emit aboutToSendValue();
    IInterface *link = interface();
    // A set is acknowledged whether the device streams or not: a set that
    // was lost or refused is written again instead of being forgotten.
    const int structure = int(transform->ownerAttributes()->structure());
    for (const QString &command : commands) {
        const QString parameter = transform->mergesQueuedSets() ? PKVDCommand::settingKey(structure, command) : QString();
        link->sendSet(command.toUtf8(), parameter.toUtf8(), ReplyTimeoutMs);
    }
    return true;
}

bool PKVDProtocol::poll(TTransform *transform)
{
    if (!transform || !transform->ownerAttributes() || !transform->node())
        return false;
    // A device that is away has nothing to be asked now. That is no failure
    // of the control: the panel's walk, which a failure stops until its
    // next round, goes on to the controls of the devices that are there.
    if (interface() && !interface()->isConnected())
        return true;
    if (!canAddress(transform))
        return false;
    const QString query = queryFor(transform);
    if (query.isEmpty())
        return false;
    const int structure = int(transform->ownerAttributes()->structure());
    // A parameter that several controls show is queried once per period of
    // the control that polls it.
    const int quietMs = PollTickMs * qMax(1, transform->pollDivider()) - PollTickMs / 2;
    if (structure == PKVDCommand::LevelReport)
        return sendLevelQuery(transform, query, quietMs);
    const QString tag = m_subscriptions.subscribe(query, structure, transform, quietMs);
    if (tag == SMSubscriptionManager::PollTag)
        m_subscriptions.sendQuery(query);
    else if (tag == SMSubscriptionManager::SubTag)
        m_subscriptions.sendSubscription(query);
    else if (isSubscribed())
        interface()->armHostCheck();
    return true;
}

bool PKVDProtocol::sendLevelQuery(TTransform *transform, const QString &query, int shareMs)
{
    // Levels change all the time: a report is asked for, never subscribed
    // to. One report holds the whole card, so the meters of a card share
    // the one that another of them asked for a moment ago.
    m_subscriptions.addRoute(query, PKVDCommand::LevelReport, transform);
    if (shareMs > 0 && m_subscriptions.queriedWithin(query, shareMs))
        return true;
    qCDebug(lcComm).noquote() << QTime::currentTime().toString(QStringLiteral("H:mm:ss.zzz"))
                              << " sendStruct10, msg = " + query;
    m_subscriptions.sendQuery(query);
    return true;
}

void PKVDProtocol::queryNow(TTransform *transform, int shareMs)
{
    if (!transform) {
        qCWarning(lcComm) << "TTransform is not provided for Meter Status";
        return;
    }
    if (!transform->ownerAttributes()) {
        qCWarning(lcComm) << "No attributes available.";
        return;
    }
    if (!canAddress(transform))
        return;
    const QString query = queryFor(transform);
    if (query.isEmpty())
        return;
    const int structure = int(transform->ownerAttributes()->structure());
    if (structure == PKVDCommand::LevelReport) {
        // A tick of the meter's own period, less the slack of its timer.
        sendLevelQuery(transform, query, shareMs - LevelShareSlackMs);
        return;
    }
    m_subscriptions.addRoute(query, structure, transform);
    m_subscriptions.sendQuery(query);
}

bool PKVDProtocol::handleReply(const QByteArray &reply)
{
    QString line = QString::fromUtf8(reply);
    int skip = 0;
    while (skip < line.size() && line.at(skip) == Ack)
        ++skip;
    line.remove(0, skip);
    if (line.startsWith(Nak))
        return false;
    const int separator = line.indexOf(QLatin1Char(';'));
    if (separator >= 0)
        line.truncate(separator);
    while (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    if (line.isEmpty())
        return false;

    if (line.startsWith(SubscriptionAnswer)) {
        m_subscriptions.handleSubscriptionReply(line);
        return true;
    }
    if (line.startsWith(UnsubscriptionAnswer)) {
        qCDebug(lcComm) << "Unsubscribed:" << line;
        return true;
    }
    if (line.startsWith(HandshakeAnswer)) {
        m_subscriptions.handleHandshakeReply(line);
        return true;
    }

    const QString key = PKVDCommand::replyKey(line);
    const QList<SMSubscriptionManager::Record> records = m_subscriptions.recordsFor(key);
    if (records.isEmpty())
        return false;
    if (key.startsWith(QLatin1String("GL ")))
        deliverLevels(records, line);
    else
        for (const SMSubscriptionManager::Record &record : records)
            deliver(record, line);
    return true;
}

void PKVDProtocol::deliver(const SMSubscriptionManager::Record &record, const QString &line) const
{
    TTransform *transform = record.transform;
    switch (record.structure) {
    case PKVDCommand::Status:
        // S 0x1f: the transform reads the "0x" as hexadecimal.
        if (line.startsWith(QLatin1String("S ")))
            transform->receiveReply(line.mid(2).trimmed());
        break;
    case PKVDCommand::GroupLevel:
    case PKVDCommand::GroupNumber: {
        const int comma = line.indexOf(QLatin1Char(','));
        if ((line.startsWith(QLatin1String("GG")) || line.startsWith(QLatin1String("GN"))) && comma >= 0)
            transform->receiveReply(line.mid(comma + 1));
        break;
    }
    case PKVDCommand::Passthrough:
        transform->setReplyText(line);
        break;
    case PKVDCommand::LevelReport:
        break;
    default: {
        // The key already matched the name and indexes that the query
        // carried.
        const int equals = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1String("GA")) && equals >= 0)
            transform->receiveReply(line.mid(equals + 1));
        break;
    }
    }
}

void PKVDProtocol::deliverLevels(const QList<SMSubscriptionManager::Record> &records,
                                 const QString &line) const
{
    PLevelReport report;
    if (!report.parse(line)) {
        qCDebug(lcComm) << "Malformed level report ignored:" << line;
        return;
    }
    for (const SMSubscriptionManager::Record &record : records) {
        if (record.structure != PKVDCommand::LevelReport)
            continue;
        // Meters count their channels from 1.
        const QString level = report.levelFor(record.transform->node(), record.transform->index1() - 1);
        if (!level.isNull())
            record.transform->setReplyText(level);
    }
}

void PKVDProtocol::replyTimeout(const QString &tag)
{
    IInterface *link = interface();
    // A device that does not answer the handshake is polled on this
    // connection (a later "yes" still turns streaming on). Once the answer
    // is known, a "SUB" that goes unanswered is the link probe, whose
    // failure the interface handles.
    if (tag == SMSubscriptionManager::SubTag && link && link->isConnected() && !link->isStreamingSet())
        link->setStreaming(0);
    m_subscriptions.handleTimeout(tag);
}

void PKVDProtocol::setInterface(IInterface *interface)
{
    PProtocol::setInterface(interface);
    m_subscriptions.setInterface(interface);
    if (interface && interface->isConnected()) {
        m_subscriptions.reset(false);
        m_subscriptions.onConnectionActive();
    }
}

void PKVDProtocol::resynchronize()
{
    m_subscriptions.reset(true);
    m_subscriptions.onConnectionActive();
}

bool PKVDProtocol::isSubscribed() const
{
    return m_subscriptions.isEnabled();
}

bool PKVDProtocol::setOnline(bool online)
{
    // Each connection learns afresh whether the device streams, and
    // subscribes or polls every shown parameter again.
    m_subscriptions.reset(false);
    if (online)
        m_subscriptions.onConnectionActive();
    emit onlineStateChanged(online);
    return true;
}

void PKVDProtocol::forget(TTransform *transform)
{
    m_subscriptions.forget(transform);
}

QByteArray PKVDProtocol::probeCommand() const
{
    // The handshake: every device answers it, whether it streams or not.
    return QByteArrayLiteral("SUB\r");
}
