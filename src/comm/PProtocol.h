#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class IInterface;
class MModel;
class TTransform;

// The command layer of one device: turns control values into device
// commands, polls the parameters that controls show and routes replies back
// to their transforms. The base does nothing; a protocol kind overrides
// what it supports.
class PProtocol : public QObject
{
    Q_OBJECT
public:
    explicit PProtocol(QObject *parent = nullptr);
    ~PProtocol() override;

    virtual bool sendValue(TTransform *transform);
    virtual bool poll(TTransform *transform);
    virtual bool sendFile(const QString &path);
    virtual bool receiveFile(const QString &path);
    virtual bool handleReply(const QByteArray &reply);
    virtual void replyTimeout(const QString &tag);
    virtual QString typeName() const;
    virtual void setInterface(IInterface *interface);
    virtual void setModel(MModel *model);
    virtual void resynchronize();
    virtual bool isSubscribed() const;
    // Asks for the transform's value at once. A level report asked for by
    // another meter of the same card within shareMs serves this one too.
    virtual void queryNow(TTransform *transform, int shareMs = 0);
    virtual bool setOnline(bool online);
    // No reply reaches transform from now on: its last control let go of
    // it. (A destroyed transform is forgotten by itself.)
    virtual void forget(TTransform *transform);
    // A cheap command (with its line end) that the device always answers
    // with a line beginning with the command itself: the interface sends it
    // to find out whether a quiet device is still there. Empty: the link
    // is not probed.
    virtual QByteArray probeCommand() const;

    IInterface *interface() const;
    MModel *model() const { return m_model; }

signals:
    void onlineStateChanged(bool online);
    // A value is about to be sent: the application model restarts its poll
    // timer, so that no poll overtakes the user's change.
    void aboutToSendValue();

public slots:
    bool onOnlineStateChanged(bool online);

protected:
    // The chassis may delete its interface first: the guarded pointer turns
    // null instead of dangling.
    QPointer<IInterface> m_interface;
    MModel *m_model = nullptr;
};
