#pragma once

#include "CheckFinding.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class CControl;
class CheckDocument;
class CheckProbe;

// Goes online to every device of an opened panel file at once and asks
// each for every parameter its panels' controls use, within a time limit.
// Devices that take no connection, or answer nothing, are findings; so is
// every control whose parameter a device refuses or leaves unanswered.
class CheckOnline : public QObject
{
    Q_OBJECT
public:
    enum class DeviceState { NoAddress, Absent, Silent, Answers };

    struct Device
    {
        QString label;
        QString connection;
        QString address;
        int port = 0;
        DeviceState state = DeviceState::Absent;
        QString note;
        int asked = 0;
        int answered = 0;
        int refused = 0;
        int unanswered = 0;
        int notAsked = 0;
    };

    // A device that takes no connection in this time is given up.
    static constexpr int ConnectWindowMs = 3000;

    CheckOnline(CheckDocument *document, int timeLimitMs, QObject *parent = nullptr);
    ~CheckOnline() override;

    // Runs until every device has been asked everything, or the time limit
    // is over; the event loop runs meanwhile.
    QList<CheckFinding> run();
    const QList<Device> &devices() const { return m_devices; }

    static QString stateKeyword(DeviceState state);

private:
    struct Asker
    {
        CheckProbe *probe = nullptr;
        // The controls behind each question of the probe.
        QHash<int, QList<const CControl *>> controls;
    };

    void collectQuestions(QList<CheckFinding> *findings);
    void report(const Asker &asker, QList<CheckFinding> *findings);

    CheckDocument *m_document;
    int m_timeLimitMs;
    QList<Asker> m_askers;
    QList<Device> m_devices;
};
