#include "XmlWriter.h"

#include <QIODevice>
#include <QTextStream>

XmlWriter::~XmlWriter()
{
    if (stream)
        stream->flush();
    delete stream;
}

void XmlWriter::setDevice(QIODevice *newDevice)
{
    if (!newDevice)
        return;
    device = newDevice;
    target = nullptr;
    createStream();
}

void XmlWriter::setString(QString *string)
{
    if (!string)
        return;
    target = string;
    device = nullptr;
    createStream();
}

void XmlWriter::createStream()
{
    delete stream;
    stream = device ? new QTextStream(device) : new QTextStream(target, QIODevice::ReadWrite);
    applyEncoding();
}

void XmlWriter::setEncoding(int kind)
{
    encodingKind = kind;
    if (kind == Utf8)
        encodingName = QStringLiteral("UTF-8");
    else if (kind == Utf16)
        encodingName = QStringLiteral("UTF-16");
    applyEncoding();
}

void XmlWriter::applyEncoding()
{
    if (!stream)
        return;
    stream->setGenerateByteOrderMark(false);
    if (encodingKind == Utf8)
        stream->setEncoding(QStringConverter::Utf8);
    else if (encodingKind == Utf16)
        stream->setEncoding(QStringConverter::Utf16BE);
    else
        stream->setEncoding(QStringConverter::System);
}

bool XmlWriter::writeHeader()
{
    if (!stream)
        return false;
    if (encodingKind == Utf16 && device) {
        stream->flush();
        device->write("\xFE\xFF", 2);
    }
    *stream << "<?xml version=\"1.0\" encoding=\"" << encodingName << "\"?>\n";
    return true;
}

bool XmlWriter::startLine(const QString &tag)
{
    if (!stream || tag.isEmpty())
        return false;
    *stream << indent << '<' << tag;
    return true;
}

bool XmlWriter::openElement(const QString &tag)
{
    if (!startLine(tag))
        return false;
    *stream << ">\n";
    indent += QLatin1Char('\t');
    return true;
}

bool XmlWriter::openElement(const QString &tag, const QString &name)
{
    if (!startLine(tag))
        return false;
    *stream << " name=\"" << escape(name) << "\">\n";
    indent += QLatin1Char('\t');
    return true;
}

bool XmlWriter::openElement(const QString &tag, const QString &prefix, const QString &name, int id)
{
    if (!prefix.isEmpty() && id > 0)
        return openElement(tag, QStringLiteral("%1|||%2").arg(prefix).arg(id));
    return openElement(tag, name);
}

bool XmlWriter::openElement(const QString &tag, const QString &name, const QString &type)
{
    if (!startLine(tag))
        return false;
    *stream << " name=\"" << escape(name) << "\" type=\"" << escape(type) << "\">\n";
    indent += QLatin1Char('\t');
    return true;
}

bool XmlWriter::closeElement(const QString &tag)
{
    if (!stream || tag.isEmpty())
        return false;
    indent.chop(1);
    *stream << indent << "</" << tag << ">\n";
    return true;
}

bool XmlWriter::writeElement(const QString &tag, const QString &text)
{
    if (!startLine(tag))
        return false;
    *stream << '>' << escape(text) << "</" << tag << ">\n";
    return true;
}

bool XmlWriter::writeElement(const QString &tag, int value)
{
    if (!startLine(tag))
        return false;
    *stream << '>' << value << "</" << tag << ">\n";
    return true;
}

bool XmlWriter::writeElement(const QString &tag, unsigned int value)
{
    if (!startLine(tag))
        return false;
    *stream << '>' << value << "</" << tag << ">\n";
    return true;
}

bool XmlWriter::writeElement(const QString &tag, float value)
{
    if (!startLine(tag))
        return false;
    *stream << '>' << value << "</" << tag << ">\n";
    return true;
}

bool XmlWriter::flush()
{
    if (!stream)
        return false;
    stream->flush();
    return true;
}

QString XmlWriter::escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '&':
        case '<':
        case '>':
        case '"':
            out += QStringLiteral("&#%1;").arg(c.unicode());
            break;
        case '\t':
        case '\n':
        case '\r':
            out += c;
            break;
        default:
            // The reader lets references to characters that XML cannot
            // hold pass ("&#1;"); written out as they are, they would make
            // the whole file unreadable, so they are left out.
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += c;
                out += text.at(++i);
            } else if (c.unicode() >= 0x20 && !c.isSurrogate() && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF) {
                out += c;
            }
        }
    }
    return out;
}
