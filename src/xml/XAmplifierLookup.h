#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QHash>
#include <QStringList>

// Finds the amplifier models that the members of a control group live on.
// A member block of an amplifier is listed in a Nodes element whose
// "brambleNodeID" names the amplifier by its node id; the amplifier's own
// node carries the model as its title:
//
//   <Assignment><Group id="7"><Assign targetID="2101"/></Group></Assignment>
//   <Nodes brambleNodeID="21">
//     <Node ...><Property name="title" value="PQX520D"/>
//               <Property name="nodeID" value="21"/></Node>
//     <Node ...><Property name="nodeID" value="2101"/></Node>
//   </Nodes>
//
// The design file is parsed into a document once, on the first look-up,
// in the encoding its declaration names; the node ids are indexed then.
class XAmplifierLookup
{
public:
    XAmplifierLookup() = default;
    virtual ~XAmplifierLookup() = default;

    void setRawXml(const QByteArray &rawXml);
    const QByteArray &rawXml() const { return m_rawXml; }

    // The model titles of the amplifiers that hold the members of the group
    // with that id, in assignment order; empty when the file does not tell.
    // Every failure is a debug line.
    QStringList modelNames(const QString &groupId);
    // How often the file was parsed into a document: at most once.
    int parseCount() const { return m_parseCount; }

private:
    bool ensureDocument();
    void indexNodeIds(const QDomElement &element);
    // The model of the amplifier that holds the member with that node id;
    // empty when it lies on no amplifier or cannot be found.
    QString amplifierOf(const QString &targetId) const;

    QByteArray m_rawXml;
    QDomDocument m_document;
    bool m_tried = false;
    bool m_parsed = false;
    int m_parseCount = 0;
    // The first "nodeID" property of each node id, in document order.
    QHash<QString, QDomElement> m_nodeIds;
};
