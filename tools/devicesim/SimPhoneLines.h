#pragma once

#include "SimPhoneLine.h"

#include <QMap>
#include <QObject>

class SimCommand;

// The telephone lines of one simulated device, each on its dialer parameter
// (index 16 of the interface block, as the telephone templates bind it).
// Lines come from the design project, from the command line, or from the
// first dialer command that a parameter receives.
class SimPhoneLines : public QObject
{
    Q_OBJECT
public:
    static constexpr int DialerIndex = 16;

    explicit SimPhoneLines(QObject *parent = nullptr);

    // For the lines there are and those to come.
    void setSettings(const SimPhoneSettings &settings);
    // A line on the dialer parameter of the block (the existing one when
    // there is one).
    SimPhoneLine *declare(const QString &blockName, SimPhoneLine::Kind kind);
    // The line a set command addresses: a known line, or a new one when the
    // value is a dialer command. Null for every other set.
    SimPhoneLine *lineForSet(const SimCommand &set);
    // The line of the block, on whichever parameter; null when none.
    SimPhoneLine *find(const QString &blockName) const;
    QList<SimPhoneLine *> lines() const { return m_lines.values(); }

signals:
    // A line's status answer changed; key is the parameter's key.
    void changed(const QString &key, const QString &statusText, SimPhoneLine *line);

private:
    SimPhoneLine *add(const QString &key, const QString &blockName, SimPhoneLine::Kind kind);

    SimPhoneSettings m_settings;
    QMap<QString, SimPhoneLine *> m_lines;
};
