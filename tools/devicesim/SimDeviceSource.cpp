#include "SimDeviceSource.h"

#include "SimDesignReader.h"
#include "SimOptions.h"

#include <QFileInfo>
#include <QHash>

bool SimDeviceSource::collect(const SimOptions &options, QList<SimDeviceInfo> *devices,
                              QString *error)
{
    if (options.designFile.isEmpty()) {
        *devices = fromPorts(options.ports);
    } else {
        QList<SimDeviceInfo> read;
        if (!fromFile(options.designFile, &read, error))
            return false;
        if (options.basePort >= 0 && !remapPorts(&read, options.basePort, error))
            return false;
        *devices = read;
    }
    return checkPorts(*devices, error);
}

QList<SimDeviceInfo> SimDeviceSource::fromPorts(const QList<int> &ports)
{
    QList<SimDeviceInfo> devices;
    for (int i = 0; i < ports.size(); ++i) {
        SimDeviceInfo device;
        device.nodeId = i + 1;
        device.label = QStringLiteral("Device %1").arg(device.nodeId);
        device.port = ports.at(i);
        devices.append(device);
    }
    return devices;
}

bool SimDeviceSource::fromFile(const QString &path, QList<SimDeviceInfo> *devices, QString *error)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("cpz")) {
        *error = QStringLiteral("%1 is a control-panel archive; reading devices from archives is "
                                "not available yet. Give its design project (.kvp) instead.")
                     .arg(path);
        return false;
    }
    return SimDesignReader::read(path, devices, error);
}

bool SimDeviceSource::remapPorts(QList<SimDeviceInfo> *devices, int basePort, QString *error)
{
    if (basePort + devices->size() - 1 > 65535) {
        *error = QStringLiteral("%1 devices do not fit on the ports from %2 up.")
                     .arg(devices->size())
                     .arg(basePort);
        return false;
    }
    // Base 0 gives every device a free port of the system's choice.
    for (int i = 0; i < devices->size(); ++i)
        (*devices)[i].port = basePort > 0 ? basePort + i : 0;
    return true;
}

bool SimDeviceSource::checkPorts(const QList<SimDeviceInfo> &devices, QString *error)
{
    QHash<int, const SimDeviceInfo *> byPort;
    for (const SimDeviceInfo &device : devices) {
        if (device.port == 0)
            continue;
        if (const SimDeviceInfo *other = byPort.value(device.port)) {
            *error = QStringLiteral("%1 and %2 both use port %3; give each device a port "
                                    "of its own (--base-port moves a design's devices).")
                         .arg(other->displayName(), device.displayName())
                         .arg(device.port);
            return false;
        }
        byPort.insert(device.port, &device);
    }
    return true;
}
