#pragma once

#include "SimDeviceInfo.h"
#include "SimFaults.h"
#include "SimPhoneLine.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The simulator's command line.
class SimOptions
{
public:
    enum class Outcome { Run, Help, Error };

    QList<int> ports;         // one device per port, node ids 1, 2, ...
    QString designFile;       // or one device per device of a design project
    int basePort = -1;        // design devices on basePort, basePort + 1, ... (0: free ports)
    QString bindAddress = QStringLiteral("127.0.0.1");
    QString logFile;
    bool quiet = false;
    SimFaults faults;
    SimPhoneSettings phone;
    QStringList pstnLines;                 // telephone lines of every device, by block name
    QStringList voipLines;
    QList<QPair<QString, QString>> rings;  // calls ringing at start: line, caller

    // Reads arguments (the program name first). Help: the usage text is in
    // message; Error: what is wrong, in one line.
    Outcome parse(const QStringList &arguments);
    QString message() const { return m_message; }

private:
    QString m_message;
};
