#pragma once

#include <QByteArray>
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
// On the first look-up the design file is read once more, in the encoding
// its declaration names, by a streaming reader that keeps only what the
// look-ups need: every node id with the title of its node and the
// "brambleNodeID" of the list around it, and the members of every group.
// (A document tree of a large design would take hundreds of megabytes.)
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
    // How often the file was read for the look-ups: at most once.
    int parseCount() const { return m_parseCount; }

private:
    // What the file says about the node whose first "nodeID" property has a
    // given value.
    struct NodeEntry
    {
        bool inList = false;   // its node has a parent element
        QString listAmplifier; // that element's "brambleNodeID"
        bool hasTitle = false; // its node has a "title" property
        QString title;
    };

    bool ensureIndex();
    bool buildIndex(const QString &text);
    // The model of the amplifier that holds the member with that node id;
    // empty when it lies on no amplifier or cannot be found.
    QString amplifierOf(const QString &targetId) const;

    QByteArray m_rawXml;
    bool m_tried = false;
    bool m_indexed = false;
    int m_parseCount = 0;
    bool m_hasAssignment = false;
    QHash<QString, NodeEntry> m_nodes;
    // The members of the first Group of each id in the Assignment list.
    QHash<QString, QStringList> m_groups;
};
