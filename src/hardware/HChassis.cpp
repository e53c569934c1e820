#include "HChassis.h"

#include "HCategories.h"
#include "HFamilyTables.h"
#include "HTreeItems.h"
#include "IInterface.h"
#include "IInterfaceFactory.h"
#include "KvrLogging.h"
#include "PProtocol.h"
#include "PProtocolFactory.h"
#include "XmlHandler.h"
#include "XmlPanelTags.h"
#include "XmlWriter.h"

#include <QStandardItemModel>

const char *const HChassis::DefaultFamily = "ZMP";
const char *const HChassis::DefaultSerialPort = "10055";

namespace {
// The connection settings of a panel file, in the order it stores them.
const char *const ConnectionSettings[] = {"title",       "ipaddress",  "ipport",
                                          "monitorport", "serialport", "platform"};
const QLatin1String ConnectionElement("Connection");
const QLatin1String MainSuffix(" (Main)");

QString withoutMainSuffix(QString label)
{
    if (label.endsWith(MainSuffix))
        label.chop(MainSuffix.size());
    return label;
}
} // namespace

HChassis::HChassis()
{
    setFlag(Device);
    // The protocol and the interface are QObject children of the chassis:
    // they live as long as the device.
    setProtocol(PProtocolFactory::instance().create(m_platform, this));
}

void HChassis::setUpInterface()
{
    if (m_interface || !protocol())
        return;
    m_interface = IInterfaceFactory::instance().create(
        protocol(), m_ipAddress, IInterfaceFactory::portNumber(m_serialPort), this, this);
}

void HChassis::attributeChanged(const QString &name)
{
    if (name == QLatin1String("platform"))
        setUpInterface();
    else if (m_interface && name == QLatin1String("ipaddress"))
        m_interface->setAddress(m_ipAddress);
    else if (m_interface && name == QLatin1String("serialport"))
        m_interface->setPort(IInterfaceFactory::portNumber(m_serialPort));
}

bool HChassis::setOnline(bool online)
{
    if (!online)
        return m_interface && m_interface->close();
    setUpInterface();
    return m_interface && m_interface->open();
}

QString HChassis::category() const
{
    return QStringLiteral("Chassis");
}

QString HChassis::templateFolder() const
{
    return m_platform;
}

QString HChassis::familyOf(const QString &deviceType)
{
    for (const char *prefix : {"ZMP", "KVP", "EMB", "EM"}) {
        if (deviceType.startsWith(QLatin1String(prefix)))
            return QStringLiteral("ZMP");
    }
    if (deviceType.startsWith(QLatin1String("KA")))
        return QStringLiteral("KA");
    if (deviceType.startsWith(QLatin1String("PQ")))
        return QStringLiteral("PQ");
    return QString();
}

void HChassis::setFamily(const QString &deviceType)
{
    m_platform = familyOf(deviceType);
    m_processorFamily = m_platform == QLatin1String(DefaultFamily);
}

void HChassis::parseProperty(const QXmlAttributes &atts)
{
    HComposite::parseProperty(atts);
    const QString name = XmlHandler::attributeValue(QStringLiteral("name"), atts);
    const QString value = XmlHandler::attributeValue(QStringLiteral("value"), atts);
    if (name == QLatin1String("ipAddress"))
        m_ipAddress = value;
    else if (name == QLatin1String("ipPort"))
        m_ipPort = value;
    else if (name == QLatin1String("monitorPort"))
        m_monitorPort = value;
    else if (name == QLatin1String("serialPortNumber"))
        m_serialPort = value;
    else if (name == QLatin1String("deviceType"))
        setFamily(value);
    else if (name == QLatin1String("isMainZMP") && value == QLatin1String("True"))
        setFlag(MainProcessor);
}

QString *HChassis::setting(const QString &name)
{
    if (name == QLatin1String("title"))
        return &m_title;
    if (name == QLatin1String("ipaddress"))
        return &m_ipAddress;
    if (name == QLatin1String("ipport"))
        return &m_ipPort;
    if (name == QLatin1String("monitorport"))
        return &m_monitorPort;
    if (name == QLatin1String("serialport"))
        return &m_serialPort;
    if (name == QLatin1String("platform"))
        return &m_platform;
    return nullptr;
}

void HChassis::setAttribute(const QString &name, const QString &value)
{
    if (QString *field = setting(name))
        *field = value;
}

bool HChassis::writeXml(XmlWriter *writer)
{
    if (!writer)
        return false;
    writer->openElement(ConnectionElement, QStringLiteral("Chassis"), m_label, m_nodeID);
    writer->openElement(QLatin1String(XmlPanelTags::Property),
                        QLatin1String(XmlPanelTags::Attributes));
    for (const char *name : ConnectionSettings)
        writer->writeElement(QLatin1String(name), *setting(QLatin1String(name)));
    writer->closeElement(QLatin1String(XmlPanelTags::Property));
    writer->closeElement(ConnectionElement);
    return true;
}

QString HChassis::modelTitle() const
{
    const int open = m_title.lastIndexOf(QLatin1Char('('));
    QString model = open >= 0 ? m_title.left(open) : m_title;
    while (model.endsWith(QLatin1Char(' ')))
        model.chop(1);
    return model;
}

bool HChassis::finishLoading()
{
    HComposite::finishLoading();
    const QString model = modelTitle();
    if (HFamilyTables::knowsDevice(m_platform, model))
        return true;
    qCWarning(lcHardware).noquote()
        << "Failed to find the chassis title in resource file :data/Chassis.dict. This can happen "
           "when a new device has been added to KVD but not KVR. Make sure the resurce file has "
           "the string "
               + model;
    return false;
}

HNode *HChassis::findCounterpart(HNode *otherTree)
{
    if (!otherTree)
        return nullptr;
    QList<HNode *> devices;
    otherTree->collectNodes(category(), devices);
    const QString label = withoutMainSuffix(m_label);
    for (HNode *device : std::as_const(devices)) {
        if (device->nodeID() == m_nodeID && device->index() == m_index
            && withoutMainSuffix(device->label()) == label && !device->testFlag(InDesign))
            return device;
    }
    return nullptr;
}

bool HChassis::registerNode(HNode *node)
{
    return node && node->enterRegistry(&m_registry);
}

void HChassis::dump() const
{
    qCDebug(lcHardware).noquote() << category() << m_label << m_title << "nodeID" << m_nodeID
                                  << "platform" << m_platform << "address" << m_ipAddress
                                  << "ports" << m_ipPort << m_monitorPort << m_serialPort;
    HComposite::dump();
}

void HChassis::buildModel(QStandardItemModel *model)
{
    if (!model) {
        HComposite::buildModel(model);
        return;
    }
    if (isLrt4Model(m_title)) {
        qCDebug(lcHardware).noquote()
            << "LRT-4 device " + m_label + " is disabled. Skipping add to tree.";
        return;
    }
    setFlag(InModel);
    QStandardItem *item = HTreeItems::create(m_label, this, HTreeItems::DefaultFlags);
    model->appendRow(item);

    QStringList texts;
    if (m_platform == QLatin1String("KA") || m_platform == QLatin1String("PQ"))
        texts << HCategories::text(HCategories::Amp);
    else
        texts << HCategories::text(HCategories::Analog) << HCategories::text(HCategories::Digital);
    if (m_platform == QLatin1String(DefaultFamily)) {
        const bool telephony = m_title.startsWith(QLatin1String("XT-10C"))
                               || m_title.startsWith(QLatin1String("XT-30C"));
        if (telephony)
            texts << HCategories::text(HCategories::Pstn) << HCategories::text(HCategories::Voip);
        if (telephony || m_title.startsWith(QLatin1String("XT-10")))
            texts << HCategories::text(HCategories::Usb);
        texts << HCategories::text(HCategories::Dante) << QLatin1String(HCategories::Blocks);
    }
    for (const QString &text : std::as_const(texts))
        item->appendRow(HTreeItems::create(text, this, HTreeItems::DefaultFlags));

    HComposite::buildModel(model);
}
