#include "SMSubscriptionManager.h"

#include "IInterface.h"
#include "KvrLogging.h"
#include "PKVDCommand.h"
#include "TTransform.h"

#include <algorithm>

namespace {

constexpr quint32 AnswerTimeoutMs = 200;
const QString SubscribePrefix = QStringLiteral("SUB \"");
const QString UnsubscribePrefix = QStringLiteral("UNS \"");

} // namespace

const QString SMSubscriptionManager::SubTag = QStringLiteral("SUB");
const QString SMSubscriptionManager::PollTag = QStringLiteral("POLL");
const QString SMSubscriptionManager::UnsTag = QStringLiteral("UNS");

SMSubscriptionManager::SMSubscriptionManager(QObject *parent) : QObject(parent) {}

SMSubscriptionManager::~SMSubscriptionManager() = default;

void SMSubscriptionManager::setInterface(IInterface *interface)
{
    m_interface = interface;
}

SMSubscriptionManager::Entry &SMSubscriptionManager::entryFor(const QString &query)
{
    const QString key = PKVDCommand::routingKey(query);
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        it = m_entries.insert(key, Entry());
        it->query = query;
    }
    return *it;
}

bool SMSubscriptionManager::addRecord(Entry &entry, int structure, TTransform *transform)
{
    for (const Record &record : std::as_const(entry.records)) {
        if (record.transform == transform && record.structure == structure)
            return false;
    }
    // A transform waits for one parameter: when its address moved (a
    // control addressed through a linked value), the old one's answers are
    // no longer its own.
    for (Entry &other : m_entries) {
        if (&other == &entry)
            continue;
        other.records.erase(std::remove_if(other.records.begin(), other.records.end(),
                                           [transform](const Record &record) {
                                               return record.transform == transform;
                                           }),
                            other.records.end());
    }
    entry.records.append({structure, transform, transform});
    connect(transform, &QObject::destroyed, this, &SMSubscriptionManager::onTransformDestroyed,
            Qt::UniqueConnection);
    return true;
}

QString SMSubscriptionManager::subscribe(const QString &query, int structure, TTransform *transform,
                                         int quietMs)
{
    Entry &entry = entryFor(query);
    const bool joined = addRecord(entry, structure, transform);
    if (m_enabled && entry.subscription == Subscription::Pending
        && entry.pendingSince.elapsed() >= PendingDeadlineMs) {
        qCDebug(lcComm) << "The subscription to" << entry.query << "was never confirmed; it is polled";
        entry.subscription = Subscription::Refused;
    }
    if (m_enabled && entry.subscription != Subscription::Refused) {
        switch (entry.subscription) {
        case Subscription::None:
            entry.subscription = Subscription::Pending;
            entry.pendingSince.start();
            return SubTag;
        case Subscription::Made:
            // The device pushes only what changes: a newcomer reads the
            // value once. (One that joins a pending subscription gets the
            // read that follows the confirmation.)
            return joined ? PollTag : QString();
        default:
            return QString();
        }
    }
    if (entry.lastQuery.isValid() && entry.lastQuery.elapsed() < quietMs)
        return QString();
    return PollTag;
}

void SMSubscriptionManager::addRoute(const QString &query, int structure, TTransform *transform)
{
    addRecord(entryFor(query), structure, transform);
}

void SMSubscriptionManager::markQueried(const QString &query)
{
    const auto it = m_entries.find(PKVDCommand::routingKey(query));
    if (it != m_entries.end())
        it->lastQuery.start();
}

bool SMSubscriptionManager::queriedWithin(const QString &query, int ms) const
{
    const auto it = m_entries.constFind(PKVDCommand::routingKey(query));
    return it != m_entries.constEnd() && it->lastQuery.isValid() && it->lastQuery.elapsed() < ms;
}

void SMSubscriptionManager::sendQuery(const QString &query)
{
    markQueried(query);
    if (m_interface)
        m_interface->send((query + QLatin1Char('\r')).toUtf8(), IInterface::ReplyExpected,
                          PKVDCommand::replyTag(query), AnswerTimeoutMs);
}

void SMSubscriptionManager::sendSubscription(const QString &query)
{
    if (!m_interface)
        return;
    const QString command = SubscribePrefix + query + QLatin1Char('"');
    m_interface->send((command + QLatin1Char('\r')).toUtf8(), IInterface::ReplyExpected,
                      command + QLatin1Char(','), AnswerTimeoutMs);
}

QString SMSubscriptionManager::subjectOf(const QString &line)
{
    // SUB "<query>",yes: the query is everything between the first and the
    // last quote.
    const int end = line.lastIndexOf(QLatin1Char('"'));
    return end > SubscribePrefix.size() - 1 ? line.mid(SubscribePrefix.size(), end - SubscribePrefix.size())
                                            : QString();
}

void SMSubscriptionManager::handleSubscriptionReply(const QString &line)
{
    const auto it = m_entries.find(PKVDCommand::routingKey(subjectOf(line)));
    if (it == m_entries.end())
        return;
    if (line.endsWith(QLatin1String("yes"))) {
        if (it->subscription == Subscription::Made)
            return;
        it->subscription = Subscription::Made;
        // The device pushes changes from now on; what the value is now has
        // to be read once.
        sendQuery(it->query);
    } else {
        qCDebug(lcComm) << "The device refused the subscription to" << it->query << "; it is polled";
        it->subscription = Subscription::Refused;
    }
}

void SMSubscriptionManager::handleTimeout(const QString &tag)
{
    if (!tag.startsWith(SubscribePrefix))
        return;
    // A subscription that is not confirmed in time is not relied on: the
    // parameter is polled instead.
    const auto it = m_entries.find(PKVDCommand::routingKey(subjectOf(tag)));
    if (it != m_entries.end() && it->subscription == Subscription::Pending)
        it->subscription = Subscription::Refused;
}

void SMSubscriptionManager::onConnectionActive()
{
    if (!m_interface || m_interface->isStreamingSet())
        return;
    m_interface->send(QByteArrayLiteral("SUB\r"), IInterface::ReplyExpected, SubTag, AnswerTimeoutMs);
}

void SMSubscriptionManager::handleHandshakeReply(const QString &line)
{
    m_enabled = line.endsWith(QLatin1String("yes"));
    qCDebug(lcComm) << "The device" << (m_enabled ? "takes" : "does not take") << "subscriptions";
    if (m_interface)
        m_interface->setStreaming(m_enabled ? 1 : 0);
}

QList<SMSubscriptionManager::Record> SMSubscriptionManager::recordsFor(const QString &key) const
{
    QList<Record> live;
    const auto it = m_entries.constFind(key);
    if (it == m_entries.constEnd())
        return live;
    for (const Record &record : it->records) {
        if (record.transform->isLive())
            live.append(record);
    }
    return live;
}

int SMSubscriptionManager::pendingLongerThan(int ms) const
{
    return int(std::count_if(m_entries.cbegin(), m_entries.cend(), [ms](const Entry &entry) {
        return entry.subscription == Subscription::Pending && entry.pendingSince.elapsed() > ms;
    }));
}

bool SMSubscriptionManager::isSubscribed(const QString &query) const
{
    const auto it = m_entries.constFind(PKVDCommand::routingKey(query));
    return it != m_entries.constEnd() && it->subscription == Subscription::Made;
}

void SMSubscriptionManager::forget(TTransform *transform)
{
    if (!transform)
        return;
    disconnect(transform, &QObject::destroyed, this, &SMSubscriptionManager::onTransformDestroyed);
    forgetObject(transform);
}

void SMSubscriptionManager::forgetObject(const QObject *object)
{
    for (Entry &entry : m_entries) {
        entry.records.erase(std::remove_if(entry.records.begin(), entry.records.end(),
                                           [object](const Record &record) {
                                               return record.object == object;
                                           }),
                            entry.records.end());
    }
}

void SMSubscriptionManager::onTransformDestroyed(QObject *object)
{
    // The transform part is already gone: only the object's address is
    // compared.
    forgetObject(object);
}

void SMSubscriptionManager::reset(bool unsubscribe)
{
    if (unsubscribe && m_interface) {
        for (const Entry &entry : std::as_const(m_entries)) {
            if (entry.subscription != Subscription::Made)
                continue;
            const QString command = UnsubscribePrefix + entry.query + QLatin1Char('"');
            m_interface->send((command + QLatin1Char('\r')).toUtf8(), IInterface::ReplyExpected,
                              command + QLatin1Char(','), AnswerTimeoutMs);
        }
    }
    for (const Entry &entry : std::as_const(m_entries)) {
        for (const Record &record : entry.records)
            disconnect(record.transform, &QObject::destroyed, this,
                       &SMSubscriptionManager::onTransformDestroyed);
    }
    m_entries.clear();
    m_enabled = false;
}
