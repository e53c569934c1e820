#pragma once

#include <QString>
#include <QStringList>
#include <QXmlDefaultHandler>

class QObject;

// Reads a skin or accent file and sets each of its string properties, by
// name, on a target object (the QML bridge object, whose QML reads them).
class XSkinHandler : public QXmlDefaultHandler
{
public:
    static const char *const DefaultSkin;
    static const char *const DefaultAccent;

    explicit XSkinHandler(QObject *target = nullptr) : target(target) {}

    bool startElement(const QString &namespaceURI, const QString &localName,
                      const QString &qName, const QXmlAttributes &atts) override;
    bool endElement(const QString &namespaceURI, const QString &localName,
                    const QString &qName) override;
    bool characters(const QString &ch) override;
    bool fatalError(const QXmlParseException &exception) override;

    static QString skinPath(const QString &name);
    // Applies a skin to the target; a name without a file applies "Light".
    // Answers the name actually applied, or an empty text when the file
    // could not be read.
    static QString loadSkin(const QString &name, QObject *target);
    // The same for an accent; an unknown accent applies "Blue".
    static QString loadAccent(const QString &name, QObject *target);
    static QStringList skinList();
    static QStringList accentList();

private:
    static QString load(const QString &name, const QString &fallback, QObject *target);
    static QStringList readList(const QString &path);

    QObject *target = nullptr;
    QString key;
    QString valueType;
    int state = 0;
};
