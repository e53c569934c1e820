#pragma once

#include "SimDeviceInfo.h"
#include "XmlHandler.h"

#include <QList>

// Reads from a design project (*.kvp) what the simulator needs: each device
// with its node id, label, model, address and command port, and the level
// meter count of every card slot that its I/O nodes occupy.
class SimDesignReader : public XmlHandler
{
public:
    // Appends the devices of the design project at path; false with a
    // message in error when the file cannot be read, is malformed, names a
    // port that is no port number, or holds no device.
    static bool read(const QString &path, QList<SimDeviceInfo> *devices, QString *error);

    bool startDocument() override;
    bool startElement(const QString &namespaceURI, const QString &localName,
                      const QString &qName, const QXmlAttributes &atts) override;
    bool endElement(const QString &namespaceURI, const QString &localName,
                    const QString &qName) override;

    const QList<SimDeviceInfo> &devices() const { return m_devices; }
    // The first problem met in the content (the XML itself may be fine).
    QString problem() const { return m_problem; }

    // The node kind of a design "className": the namespaces removed.
    static QString kindOf(const QString &className);
    static bool isDeviceKind(const QString &kind);
    // "ZMP-30 (Main)" → "ZMP-30".
    static QString modelOf(const QString &title);

private:
    enum class NodeKind { None, Device, Card };

    void startNode(const QXmlAttributes &atts);
    void readProperty(const QXmlAttributes &atts);
    void finishNode();
    void finishDevice();
    void finishCard();

    NodeKind m_node = NodeKind::None;
    int m_nodeDepth = 0;
    int m_skipDepth = 0; // depth of an open LogicView, whose content is not read
    QString m_kind;
    QString m_cardType;
    QString m_title;
    QString m_label;
    int m_portIndex = -1;
    QString m_portText;
    bool m_portGiven = false;
    SimDeviceInfo m_device;
    QList<SimDeviceInfo> m_devices;
    QString m_problem;
};
