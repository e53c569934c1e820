#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// What the simulator knows of one device: who it is, where it listens and,
// when it comes from a design project, how many level meters each card slot
// reports.
class SimDeviceInfo
{
public:
    static constexpr int DefaultPort = 10055;
    // Entries of a level report for a slot with no known card.
    static constexpr int DefaultLevelEntries = 8;

    int nodeId = 0;
    QString label;
    QString model;     // device title without its "(Main)"-style suffix
    QString address;   // the address the design gives; shown, never bound
    int port = DefaultPort;
    QMap<int, int> levelEntries; // card slot → entries of its level report
    QStringList pstnLines;       // block names of its telephone interfaces
    QStringList voipLines;

    int levelEntryCount(int slot) const;
    // "label (model)", or what of it is known.
    QString displayName() const;
};
