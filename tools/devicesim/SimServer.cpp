#include "SimServer.h"

#include "SimDevice.h"

SimServer::SimServer(const SimFaults &faults, SimLog *log, QObject *parent)
    : QObject(parent), m_faults(faults), m_log(log)
{
}

SimServer::~SimServer()
{
    stop();
}

bool SimServer::start(const QList<SimDeviceInfo> &devices, const QHostAddress &address,
                      QString *error)
{
    stop();
    for (const SimDeviceInfo &info : devices) {
        auto *device = new SimDevice(info, m_faults, m_log, this);
        m_devices.append(device);
        device->phoneLines().setSettings(m_phoneSettings);
        for (const QString &name : std::as_const(m_pstnLines))
            device->phoneLines().declare(name, SimPhoneLine::Kind::Pstn);
        for (const QString &name : std::as_const(m_voipLines))
            device->phoneLines().declare(name, SimPhoneLine::Kind::Voip);
        if (!device->listen(address, error)) {
            stop();
            return false;
        }
    }
    return true;
}

void SimServer::stop()
{
    qDeleteAll(m_devices);
    m_devices.clear();
}

void SimServer::addPhoneLines(const QStringList &pstnLines, const QStringList &voipLines)
{
    m_pstnLines += pstnLines;
    m_voipLines += voipLines;
}
