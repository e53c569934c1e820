#pragma once

#include "PProtocol.h"
#include "SMSubscriptionManager.h"

class CAttributes;
class HNode;

// The text protocol of the processors, endpoints and amplifiers: set
// commands for the users' changes, queries or subscriptions for the shown
// parameters, and the routing of every line the device sends to the
// transforms that wait for it.
class PKVDProtocol : public PProtocol
{
    Q_OBJECT
public:
    static constexpr quint32 ReplyTimeoutMs = 200;
    // The application model's poll cycle; a transform is due every
    // pollDivider() cycles.
    static constexpr int PollTickMs = 250;
    // A meter's own period less this much still counts as the same tick.
    static constexpr int LevelShareSlackMs = 25;

    explicit PKVDProtocol(QObject *parent = nullptr);
    ~PKVDProtocol() override;

    bool sendValue(TTransform *transform) override;
    bool poll(TTransform *transform) override;
    bool handleReply(const QByteArray &reply) override;
    void replyTimeout(const QString &tag) override;
    QString typeName() const override;
    void setInterface(IInterface *interface) override;
    void resynchronize() override;
    bool isSubscribed() const override;
    void queryNow(TTransform *transform, int shareMs = 0) override;
    bool setOnline(bool online) override;

    void forget(TTransform *transform) override;
    QByteArray probeCommand() const override;
    const SMSubscriptionManager &subscriptions() const { return m_subscriptions; }

private:
    bool isOnline() const;
    // The transform is bound to a parameter of a known structure, and the
    // device is online.
    bool canAddress(const TTransform *transform) const;
    // The transform's query; empty, with a warning where one helps, when
    // there is none.
    QString queryFor(const TTransform *transform) const;
    bool sendLevelQuery(TTransform *transform, const QString &query, int shareMs);
    void deliver(const SMSubscriptionManager::Record &record, const QString &line) const;
    void deliverLevels(const QList<SMSubscriptionManager::Record> &records, const QString &line) const;

    SMSubscriptionManager m_subscriptions;
};
