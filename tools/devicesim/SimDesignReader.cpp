#include "SimDesignReader.h"

#include "SimCardSlots.h"

#include <QFileInfo>

namespace {
const QString NodeElement = QStringLiteral("Node");
const QString NodesElement = QStringLiteral("Nodes");
const QString PropertyElement = QStringLiteral("Property");
const QString LogicViewElement = QStringLiteral("LogicView");
} // namespace

bool SimDesignReader::read(const QString &path, QList<SimDeviceInfo> *devices, QString *error)
{
    SimDesignReader reader;
    const QString name = QFileInfo(path).fileName();
    if (!XmlHandler::parseFile(path, &reader)) {
        *error = QStringLiteral("Cannot read the design project %1: %2")
                     .arg(name, reader.lastError().isEmpty() ? reader.problem() : reader.lastError());
        return false;
    }
    if (!reader.problem().isEmpty()) {
        *error = QStringLiteral("Cannot use the design project %1: %2").arg(name, reader.problem());
        return false;
    }
    if (reader.devices().isEmpty()) {
        *error = QStringLiteral("The design project %1 holds no device.").arg(name);
        return false;
    }
    devices->append(reader.devices());
    return true;
}

QString SimDesignReader::kindOf(const QString &className)
{
    QString kind = className;
    kind.remove(QStringLiteral("Halvern.Loom.Nodes."));
    kind.remove(QStringLiteral("Devices."));
    return kind;
}

bool SimDesignReader::isDeviceKind(const QString &kind)
{
    static const QStringList deviceKinds = {
        QStringLiteral("ZMP"),  QStringLiteral("EmberZmp"), QStringLiteral("Bramble"),
        QStringLiteral("Xt10"), QStringLiteral("Xt20AEC"),  QStringLiteral("Xt30c")};
    return deviceKinds.contains(kind);
}

QString SimDesignReader::modelOf(const QString &title)
{
    const int paren = title.lastIndexOf(QLatin1Char('('));
    if (paren <= 0 || title.at(paren - 1) != QLatin1Char(' '))
        return title;
    return title.left(paren - 1);
}

bool SimDesignReader::startDocument()
{
    m_node = NodeKind::None;
    m_skipDepth = 0;
    m_devices.clear();
    m_problem.clear();
    return XmlHandler::startDocument();
}

bool SimDesignReader::startElement(const QString &namespaceURI, const QString &localName,
                                   const QString &qName, const QXmlAttributes &atts)
{
    XmlHandler::startElement(namespaceURI, localName, qName, atts);
    if (m_skipDepth > 0)
        return true;
    if (qName == LogicViewElement) {
        // The inner design of a logic block holds nodes of its own that are
        // no hardware.
        m_skipDepth = depth;
    } else if (qName == NodeElement && parentElement() == NodesElement) {
        startNode(atts);
    } else if (qName == PropertyElement && m_node != NodeKind::None
               && depth == m_nodeDepth + 1) {
        readProperty(atts);
    }
    return true;
}

bool SimDesignReader::endElement(const QString &namespaceURI, const QString &localName,
                                 const QString &qName)
{
    if (m_skipDepth > 0) {
        if (depth == m_skipDepth)
            m_skipDepth = 0;
    } else if (qName == NodeElement && depth == m_nodeDepth && m_node != NodeKind::None) {
        finishNode();
    }
    return XmlHandler::endElement(namespaceURI, localName, qName);
}

void SimDesignReader::startNode(const QXmlAttributes &atts)
{
    m_kind = kindOf(attributeValue(QStringLiteral("className"), atts));
    m_cardType = attributeValue(QStringLiteral("cardType"), atts);
    bool ok = false;
    m_portIndex = attributeValue(QStringLiteral("portIndex"), atts).toInt(&ok);
    if (!ok)
        m_portIndex = -1;
    m_title.clear();
    m_label.clear();
    m_nodeDepth = depth;
    if (isDeviceKind(m_kind)) {
        m_node = NodeKind::Device;
        m_device = SimDeviceInfo();
        m_portText.clear();
        m_portGiven = false;
    } else if (SimCardSlots::isCardKind(m_kind)) {
        m_node = NodeKind::Card;
    } else {
        m_node = NodeKind::None;
    }
}

void SimDesignReader::readProperty(const QXmlAttributes &atts)
{
    const QString name = attributeValue(QStringLiteral("name"), atts);
    const QString value = attributeValue(QStringLiteral("value"), atts);
    if (name == QLatin1String("title")) {
        m_title = value;
        return;
    }
    if (m_node != NodeKind::Device) {
        if (name == QLatin1String("label"))
            m_label = value;
        return;
    }
    if (name == QLatin1String("nodeID"))
        m_device.nodeId = value.toInt();
    else if (name == QLatin1String("label"))
        m_device.label = value;
    else if (name == QLatin1String("ipAddress"))
        m_device.address = value;
    else if (name == QLatin1String("serialPortNumber")) {
        m_portText = value;
        m_portGiven = true;
    }
}

void SimDesignReader::finishNode()
{
    if (m_node == NodeKind::Device)
        finishDevice();
    else
        finishCard();
    m_node = NodeKind::None;
}

void SimDesignReader::finishDevice()
{
    m_device.model = modelOf(m_title);
    if (m_portGiven) {
        bool ok = false;
        const int port = m_portText.trimmed().toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            if (m_problem.isEmpty())
                m_problem = QStringLiteral("device \"%1\" has the port \"%2\", which is no port number.")
                                .arg(m_device.displayName(), m_portText);
            return;
        }
        m_device.port = port;
    }
    m_devices.append(m_device);
}

void SimDesignReader::finishCard()
{
    // A card belongs to the device read last; cards before any device have
    // nowhere to go.
    if (m_devices.isEmpty())
        return;
    SimDeviceInfo &device = m_devices.last();
    // The receive node of a telephone card carries its dialer.
    const QString block = m_label.isEmpty() ? m_title : m_label;
    if (m_kind == QLatin1String("PstnRx"))
        device.pstnLines.append(block);
    else if (m_kind == QLatin1String("VoipRx"))
        device.voipLines.append(block);
    const int slot = SimCardSlots::slotNumber(device.model, m_title, m_portIndex);
    const int entries = SimCardSlots::levelEntries(m_kind, m_cardType, device.model);
    if (slot < 0 || entries <= 0)
        return;
    device.levelEntries[slot] = qMax(device.levelEntries.value(slot), entries);
}
