#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class HNode;

// The entries of a drop list, built from the source elements of its widget
// settings once they are all read, so that the order of the elements does
// not matter. Each entry has a text (what the list shows) and a value (what
// the device is sent and reports).
//
// Sources, as the panel file or template names them:
//   msg         a comma-separated list of texts
//   item        the same, from the element's text or, when it is empty,
//               from the node's channel names; several item elements add up
//   node        "ItemAndIndexes": the node's items "value>text"; "PSetList":
//               the parameter sets of the node's list; any other text: the
//               project's nodes of that category
//   group       the names of the node's selector items
//   file        one entry per line of a file in the delegate's folder
//   sourceList  the comma-separated texts, or the node's input labels
// The last source that gives entries decides them. An index element gives
// the values; missing ones are numbered on, extra ones dropped.
class WListEntries
{
public:
    // How the entries were made.
    enum Mode { Literal = 0, NodeList = 1, ParameterSetList = 2 };

    // Longest list file read, and most entries a file gives.
    static constexpr qint64 MaxFileBytes = 1 << 20;
    static constexpr int MaxFileEntries = 1000;

    static bool isSourceKey(const QString &name);
    static const QString IndexKey;

    struct Source
    {
        QString element;
        QString text;
    };

    void addSource(const QString &element, const QString &text);
    void setIndexText(const QString &text);
    const QList<Source> &sources() const { return m_sources; }
    bool hasIndex() const { return m_hasIndex; }
    bool fromSourceList() const;

    // Builds texts, values and mode for node; folder holds list files.
    void build(const HNode *node, const QString &folder);
    const QStringList &texts() const { return m_texts; }
    const QList<int> &values() const { return m_values; }
    int mode() const { return m_mode; }
    int count() const { return int(m_texts.size()); }

    // "1,2,3": the values as the index element writes them.
    QString indexText() const;

private:
    struct Entries
    {
        QStringList texts;
        QList<int> values;
        int mode = Literal;
    };

    static Entries commaList(const QString &text);
    static Entries nodeEntries(const HNode *node, const QString &which);
    static Entries parameterSets(const HNode *node);
    static Entries fileEntries(const QString &folder, const QString &name);
    Entries entriesOf(const Source &source, const HNode *node, const QString &folder) const;

    QList<Source> m_sources;
    QString m_indexText;
    bool m_hasIndex = false;
    QStringList m_texts;
    QList<int> m_values;
    int m_mode = Literal;
};
