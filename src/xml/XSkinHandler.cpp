#include "XSkinHandler.h"

#include "KvrLogging.h"

#include <QFile>
#include <QObject>
#include <QVariant>
#include <QTextStream>
#include <QXmlInputSource>
#include <QXmlSimpleReader>

const char *const XSkinHandler::DefaultSkin = "Light";
const char *const XSkinHandler::DefaultAccent = "Blue";

namespace {
const char *const SkinsFolder = ":/skins/";
const QString SkinElement = QStringLiteral("Skin");
const QString StringType = QStringLiteral("string");
}

bool XSkinHandler::startElement(const QString &, const QString &, const QString &qName,
                                const QXmlAttributes &)
{
    if (state == 0) {
        if (qName == SkinElement)
            state = 1;
    } else if (state == 1) {
        valueType = qName;
        state = 2;
    } else {
        key = qName;
    }
    return true;
}

bool XSkinHandler::endElement(const QString &, const QString &, const QString &qName)
{
    if (state == 2) {
        key.clear();
        if (qName == valueType)
            state = 1;
    } else if (state == 1 && qName == SkinElement) {
        state = 0;
    }
    return true;
}

bool XSkinHandler::characters(const QString &ch)
{
    if (!key.isEmpty() && valueType == StringType && target)
        target->setProperty(key.toLatin1().constData(), ch);
    return true;
}

bool XSkinHandler::fatalError(const QXmlParseException &exception)
{
    qCWarning(lcXml).noquote() << "Fatal error on line" << exception.lineNumber() << ", column"
                               << exception.columnNumber() << ":" << exception.message();
    return false;
}

QString XSkinHandler::skinPath(const QString &name)
{
    return QLatin1String(SkinsFolder) + name + QStringLiteral(".xml");
}

QString XSkinHandler::load(const QString &name, const QString &fallback, QObject *target)
{
    QString applied = name;
    QFile file(skinPath(applied));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCDebug(lcXml) << "No skin file for" << name << "- using" << fallback;
        applied = fallback;
        file.setFileName(skinPath(applied));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return QString();
    }
    XSkinHandler handler(target);
    QXmlInputSource source(&file);
    QXmlSimpleReader reader;
    reader.setContentHandler(&handler);
    reader.setErrorHandler(&handler);
    return reader.parse(&source) ? applied : QString();
}

QString XSkinHandler::loadSkin(const QString &name, QObject *target)
{
    return load(name, QLatin1String(DefaultSkin), target);
}

QString XSkinHandler::loadAccent(const QString &name, QObject *target)
{
    return load(name, QLatin1String(DefaultAccent), target);
}

QStringList XSkinHandler::readList(const QString &path)
{
    QStringList names;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return names;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (!line.isEmpty())
            names << line;
    }
    return names;
}

QStringList XSkinHandler::skinList()
{
    return readList(QLatin1String(SkinsFolder) + QStringLiteral("SkinList.txt"));
}

QStringList XSkinHandler::accentList()
{
    return readList(QLatin1String(SkinsFolder) + QStringLiteral("AccentList.txt"));
}
