#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

class IInterface;
class TTransform;

// The parameters of one device that controls show, and how each is kept
// current: polled, or subscribed so that the device pushes its changes.
//
// Every query is kept under its routing key with the transforms that wait
// for its answers. Whether the device takes subscriptions is learnt from the
// "SUB" handshake once per connection; while it does, each key gets exactly
// one subscription command (and one read of the current value once the
// device confirms it). While it does not, a key is polled whenever a shown
// control asks for it and no query for it went out within the last poll
// period, so a control on a hidden panel never starves the one that is seen.
//
// A control that joins a parameter whose subscription is made has its value
// read once, since the device only pushes changes. A subscription that the
// device neither confirms nor refuses within PendingDeadlineMs is not
// waited for: the parameter is polled.
class SMSubscriptionManager : public QObject
{
    Q_OBJECT
public:
    // What a registered poll is to send.
    static const QString SubTag;  // the subscription command
    static const QString PollTag; // the query
    static const QString UnsTag;
    // The dispatcher writes a subscription three times before it gives up;
    // this leaves it room for that on a slow device.
    static constexpr int PendingDeadlineMs = 2000;

    struct Record
    {
        int structure = 0;
        TTransform *transform = nullptr;
        const QObject *object = nullptr; // the transform, for telling it when it is destroyed
    };

    explicit SMSubscriptionManager(QObject *parent = nullptr);
    ~SMSubscriptionManager() override;

    void setInterface(IInterface *interface);
    // The device accepted subscriptions on this connection.
    bool isEnabled() const { return m_enabled; }

    // Registers transform as waiting for the answers to query and answers
    // SubTag, PollTag or the empty text (nothing to send). quietMs: a poll
    // within this time after the last query of the key sends nothing.
    QString subscribe(const QString &query, int structure, TTransform *transform, int quietMs);
    // Registers transform for the answers to query without polling or
    // subscribing (queries that always go out, such as level reports).
    void addRoute(const QString &query, int structure, TTransform *transform);
    // A query for this key went out now.
    void markQueried(const QString &query);
    // A query for this key went out less than ms ago.
    bool queriedWithin(const QString &query, int ms) const;

    // Sends query, expecting an answer that begins with its reply tag.
    void sendQuery(const QString &query);
    // Sends the subscription command of query.
    void sendSubscription(const QString &query);
    // The device's answer to a subscription command.
    void handleSubscriptionReply(const QString &line);
    // A command whose tag is given went unanswered.
    void handleTimeout(const QString &tag);
    // The device's answer to the handshake.
    void handleHandshakeReply(const QString &line);

    // The live records that wait for answers under the routing key.
    QList<Record> recordsFor(const QString &key) const;
    // No answer reaches transform any more.
    void forget(TTransform *transform);

    // Forgets every key; with unsubscribe, each subscription that was made
    // is first cancelled on the device.
    void reset(bool unsubscribe);

    int keyCount() const { return int(m_entries.size()); }
    // Subscriptions that have waited for the device's answer longer than ms.
    int pendingLongerThan(int ms) const;
    bool isSubscribed(const QString &query) const;

public slots:
    // Asks the device whether it takes subscriptions, unless that is known
    // for this connection already.
    void onConnectionActive();

private slots:
    void onTransformDestroyed(QObject *object);

private:
    enum class Subscription { None, Pending, Made, Refused };

    struct Entry
    {
        QString query; // as sent, without CR
        QList<Record> records;
        Subscription subscription = Subscription::None;
        QElapsedTimer lastQuery;
        QElapsedTimer pendingSince;
    };

    Entry &entryFor(const QString &query);
    // Drops the records of the transform that is (or was) object.
    void forgetObject(const QObject *object);
    // False when the transform was already registered there.
    bool addRecord(Entry &entry, int structure, TTransform *transform);
    static QString subjectOf(const QString &line);

    QPointer<IInterface> m_interface;
    QMap<QString, Entry> m_entries;
    bool m_enabled = false;
};
