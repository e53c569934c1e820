#pragma once

#include <QString>

class QIODevice;
class QTextStream;

// Indenting element writer for panel files, widgets and chassis. It writes
// either to a device or to a string; without one every operation answers
// false and writes nothing.
class XmlWriter
{
public:
    enum EncodingKind { Utf8 = 1, Utf16 = 2 };

    XmlWriter() = default;
    virtual ~XmlWriter();
    XmlWriter(const XmlWriter &) = delete;
    XmlWriter &operator=(const XmlWriter &) = delete;

    void setDevice(QIODevice *device);
    void setString(QString *string);
    void setEncoding(int kind);
    int encoding() const { return encodingKind; }
    QString encodingLabel() const { return encodingName; }

    bool writeHeader();
    bool openElement(const QString &tag);
    bool openElement(const QString &tag, const QString &name);
    bool openElement(const QString &tag, const QString &prefix, const QString &name, int id);
    bool openElement(const QString &tag, const QString &name, const QString &type);
    bool closeElement(const QString &tag);
    bool writeElement(const QString &tag, const QString &text);
    bool writeElement(const QString &tag, int value);
    bool writeElement(const QString &tag, unsigned int value);
    bool writeElement(const QString &tag, float value);
    bool flush();

    // & < > and " become "&#" code ";" (& is &#38;). Characters that an
    // XML file cannot hold (control characters other than tab and line
    // ends, U+FFFE, U+FFFF, unpaired surrogates) are left out.
    static QString escape(const QString &text);

private:
    void createStream();
    void applyEncoding();
    bool startLine(const QString &tag);

    QIODevice *device = nullptr;
    QString *target = nullptr;
    QTextStream *stream = nullptr;
    QString indent;
    int encodingKind = Utf8;
    QString encodingName = QStringLiteral("UTF-8");
};
