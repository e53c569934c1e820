#pragma once

#include "HBlockRegistry.h"
#include "HComposite.h"

class IInterface;

// A device of the project: a processor, an endpoint or an amplifier. It holds
// the device's cards and blocks, the project-wide objects when it is the
// main processor, and the settings by which the program reaches the device.
//
// The device's protocol object (protocol(), shared with every node below) is
// made for its family when the chassis is made. Its TCP client
// (interface()) is set up when the panel file names the family, or at the
// latest when the device goes online. The chassis owns both; every other
// holder of the interface (the application model's interface group) only
// links to it.
class HChassis : public HComposite
{
    Q_OBJECT
public:
    static const char *const DefaultFamily;
    static const char *const DefaultSerialPort;

    HChassis();

    QString category() const override;
    // The family folder, which holds the device's templates and tables.
    QString templateFolder() const override;

    void parseProperty(const QXmlAttributes &atts) override;
    // The connection settings as a panel file names them: "title",
    // "ipaddress", "ipport", "monitorport", "serialport", "platform".
    void setAttribute(const QString &name, const QString &value) override;
    // A setting was changed through setAttribute: "platform" sets the
    // interface up; a new address or port reaches an interface that exists
    // (and counts from its next connection).
    void attributeChanged(const QString &name) override;
    // The settings that setAttribute takes, in the same order, as the
    // panel file's Connection element named by the connection key.
    bool writeXml(XmlWriter *writer) override;
    // A device is kept only when its family's Chassis.dict lists its model.
    bool finishLoading() override;
    // The device of otherTree with the same device number, index and label;
    // " (Main)" after either label does not count. As for every node, one
    // already marked InDesign is passed over.
    HNode *findCounterpart(HNode *otherTree) override;
    bool registerNode(HNode *node) override;
    void dump() const override;
    // The device's item with its category folders, then its children.
    void buildModel(QStandardItemModel *model) override;

    // The family of a "deviceType" value: "ZMP", "KA", "PQ", or empty.
    static QString familyOf(const QString &deviceType);
    // The title without a parenthesised suffix: "ZMP-30 (Main)" is a ZMP-30.
    QString modelTitle() const;

    QString platform() const { return m_platform; }
    void setPlatform(const QString &platform) { m_platform = platform; }
    bool isProcessorFamily() const { return m_processorFamily; }
    QString ipAddress() const { return m_ipAddress; }
    QString ipPort() const { return m_ipPort; }
    QString monitorPort() const { return m_monitorPort; }
    QString serialPort() const { return m_serialPort; }

    IInterface *interface() const { return m_interface; }
    // Online: sets the interface up when there is none and opens it (the
    // connection follows without blocking); offline: closes it. Answers
    // what the interface answers (open: connected at once; close: there was
    // a connection to close).
    bool setOnline(bool online);
    HBlockRegistry &blockRegistry() { return m_registry; }
    const HBlockRegistry &blockRegistry() const { return m_registry; }

private:
    // The member behind a connection setting's name; null for other names.
    QString *setting(const QString &name);
    void setFamily(const QString &deviceType);
    void setUpInterface();

    IInterface *m_interface = nullptr;
    QString m_ipAddress;
    QString m_ipPort;
    QString m_monitorPort;
    QString m_serialPort = QLatin1String(DefaultSerialPort);
    QString m_platform = QLatin1String(DefaultFamily);
    bool m_processorFamily = true;
    HBlockRegistry m_registry;
};
