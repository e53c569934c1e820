#pragma once

#include <QString>
#include <QXmlDefaultHandler>

class QIODevice;

// Base of every SAX handler of the program. It keeps the names of the open
// elements (the first MaxPath levels) so that subclasses can decide by the
// element and its parent what a piece of character data means.
class XmlHandler : public QXmlDefaultHandler
{
public:
    static constexpr int MaxPath = 12;

    XmlHandler() = default;
    ~XmlHandler() override = default;

    bool startDocument() override;
    bool endDocument() override;
    bool startElement(const QString &namespaceURI, const QString &localName,
                      const QString &qName, const QXmlAttributes &atts) override;
    bool endElement(const QString &namespaceURI, const QString &localName,
                    const QString &qName) override;
    bool characters(const QString &ch) override;
    // The reader stops at an entity that no DTD declares (the templates write
    // "&sp;" for a blank) and splits the text around it. The reference is
    // handed on to characters() as written, so that the text stays whole and
    // simplifiedText() can turn "&sp;" into the blank it stands for.
    bool skippedEntity(const QString &name) override;
    bool processingInstruction(const QString &target, const QString &data) override;
    bool fatalError(const QXmlParseException &exception) override;

    // The name of the open element at level i (0 = document element); empty
    // for levels that are not open or lie deeper than the kept names.
    QString pathAt(int level) const;
    // The element being handled and its parent.
    QString currentElement() const { return pathAt(depth - 1); }
    QString parentElement() const { return pathAt(depth - 2); }
    int currentDepth() const { return depth; }

    // Character data as the readers keep it: white space simplified, then
    // every "&sp;" turned into one blank ("Mic&sp;1" reads "Mic 1").
    static QString simplifiedText(const QString &raw);

    static QString attributeValue(const QString &name, const QXmlAttributes &atts);
    void pushElement(const QString &name);
    void popElement();

    // The last fatal error as "line L, column C: message"; empty after a
    // successful parse.
    QString lastError() const { return m_lastError; }

    // Reads a file or resource with a handler: opens it read-only, parses it
    // with handler as content and error handler and answers the parse result.
    // The handler stays the caller's.
    static bool parseFile(const QString &fileName, XmlHandler *handler);
    static bool parseDevice(QIODevice *device, XmlHandler *handler);
    static bool parseData(const QByteArray &data, XmlHandler *handler);

protected:
    QString text;
    int collectText = 0;
    int depth = 0;
    QString path[MaxPath];

private:
    QString m_lastError;
};
