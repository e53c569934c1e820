#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class HNode;
class XmlWriter;

// The connection settings a panel file keeps for one device, named by the
// device's connection key ("Chassis|||3"). They are kept as read, so that a
// file is written back whole whether or not its design is at hand, and are
// handed to the device of the same key when the hardware tree holds one.
//
// Element layout, shared with the device's own writer:
//   <Connection name="Chassis|||3">
//       <Property name="attributes">
//           <title>..</title> <ipaddress>..</ipaddress> <ipport>..</ipport>
//           <monitorport>..</monitorport> <serialport>..</serialport>
//           <platform>..</platform>
//       </Property>
//   </Connection>
// The reader also takes a Connection inside <Chassis name="Chassis|||3">,
// and settings that stand directly in the Connection element.
class CConnection
{
public:
    using Setting = QPair<QString, QString>;

    explicit CConnection(const QString &name = QString());
    virtual ~CConnection() = default;

    // The device settings in the order they are written.
    static QStringList deviceKeys();

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    const QList<Setting> &settings() const { return m_settings; }
    // Empty when the key was not read.
    QString value(const QString &key) const;
    // A key read twice keeps the later value.
    void setValue(const QString &key, const QString &value);

    // The device keys first, in their order, then any other key as read.
    bool writeXml(XmlWriter &writer) const;
    // Sets every setting on the device, telling it of each change.
    void applyTo(HNode *device) const;

private:
    QString m_name;
    QList<Setting> m_settings;
};
