#include "XmlHandler.h"

#include "KvrLogging.h"

#include <QBuffer>
#include <QFile>
#include <QXmlInputSource>
#include <QXmlSimpleReader>

bool XmlHandler::startDocument()
{
    collectText = 0;
    depth = 0;
    m_lastError.clear();
    return true;
}

bool XmlHandler::endDocument()
{
    return true;
}

bool XmlHandler::startElement(const QString &, const QString &, const QString &qName,
                              const QXmlAttributes &)
{
    pushElement(qName);
    return true;
}

bool XmlHandler::endElement(const QString &, const QString &, const QString &)
{
    popElement();
    collectText = 0;
    return true;
}

bool XmlHandler::characters(const QString &)
{
    return true;
}

bool XmlHandler::skippedEntity(const QString &name)
{
    return characters(QLatin1Char('&') + name + QLatin1Char(';'));
}

QString XmlHandler::simplifiedText(const QString &raw)
{
    return raw.simplified().replace(QLatin1String("&sp;"), QLatin1String(" "));
}

bool XmlHandler::processingInstruction(const QString &, const QString &)
{
    return true;
}

bool XmlHandler::fatalError(const QXmlParseException &exception)
{
    m_lastError = QStringLiteral("line %1, column %2: %3")
                      .arg(exception.lineNumber())
                      .arg(exception.columnNumber())
                      .arg(exception.message());
    qCWarning(lcXml).noquote() << "Fatal error on line" << exception.lineNumber() << ", column"
                               << exception.columnNumber() << ":" << exception.message();
    return false;
}

QString XmlHandler::pathAt(int level) const
{
    if (level < 0 || level >= MaxPath || level >= depth)
        return QString();
    return path[level];
}

QString XmlHandler::attributeValue(const QString &name, const QXmlAttributes &atts)
{
    for (int i = 0; i < atts.count(); ++i) {
        if (atts.localName(i) == name)
            return atts.value(i);
    }
    return QString();
}

void XmlHandler::pushElement(const QString &name)
{
    if (depth >= 0 && depth < MaxPath)
        path[depth] = name;
    ++depth;
}

void XmlHandler::popElement()
{
    if (depth > 0)
        --depth;
}

bool XmlHandler::parseFile(const QString &fileName, XmlHandler *handler)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (handler)
            handler->m_lastError = file.errorString();
        qCDebug(lcXml) << "Cannot open" << fileName << file.errorString();
        return false;
    }
    return parseDevice(&file, handler);
}

bool XmlHandler::parseData(const QByteArray &data, XmlHandler *handler)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return parseDevice(&buffer, handler);
}

bool XmlHandler::parseDevice(QIODevice *device, XmlHandler *handler)
{
    if (!device || !handler)
        return false;
    QXmlInputSource source(device);
    QXmlSimpleReader reader;
    reader.setContentHandler(handler);
    reader.setErrorHandler(handler);
    return reader.parse(&source);
}
