#pragma once

#include "SimDeviceInfo.h"
#include "SimFaults.h"
#include "SimPhoneLine.h"

#include <QHostAddress>
#include <QList>
#include <QObject>

class SimDevice;
class SimLog;

// The set of simulated devices that one simulator run serves.
class SimServer : public QObject
{
    Q_OBJECT
public:
    SimServer(const SimFaults &faults, SimLog *log, QObject *parent = nullptr);
    ~SimServer() override;

    // Starts one device per entry, all listening on address; false with a
    // message in error (and nothing left listening) when a port cannot be
    // had.
    bool start(const QList<SimDeviceInfo> &devices, const QHostAddress &address, QString *error);
    // Closes every connection and stops listening.
    void stop();

    const QList<SimDevice *> &devices() const { return m_devices; }

    // Telephone lines: how they behave, and the lines every device has on
    // top of those its design gives it. Applied by start().
    void setPhoneSettings(const SimPhoneSettings &settings) { m_phoneSettings = settings; }
    void addPhoneLines(const QStringList &pstnLines, const QStringList &voipLines);

private:
    SimFaults m_faults;
    SimLog *m_log;
    QList<SimDevice *> m_devices;
    SimPhoneSettings m_phoneSettings;
    QStringList m_pstnLines;
    QStringList m_voipLines;
};
