#pragma once

#include "SimDeviceInfo.h"

#include <QList>

class SimOptions;

// Where the simulated devices come from: ports given on the command line,
// or the devices of a design project.
class SimDeviceSource
{
public:
    // The devices the options ask for, on the ports they will listen on;
    // false with a message in error when they cannot be had.
    static bool collect(const SimOptions &options, QList<SimDeviceInfo> *devices, QString *error);

    // One device per port, node ids 1, 2, ... in order.
    static QList<SimDeviceInfo> fromPorts(const QList<int> &ports);
    // The devices of a design project file (*.kvp).
    static bool fromFile(const QString &path, QList<SimDeviceInfo> *devices, QString *error);
    // Moves the devices onto basePort, basePort + 1, ... in order; base 0
    // lets each listen on a free port.
    static bool remapPorts(QList<SimDeviceInfo> *devices, int basePort, QString *error);
    // Two devices cannot share a port (port 0, "any free port", excepted).
    static bool checkPorts(const QList<SimDeviceInfo> &devices, QString *error);
};
