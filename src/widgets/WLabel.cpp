#include "WLabel.h"

#include "CControl.h"
#include "HNode.h"
#include "KvrLogging.h"
#include "WRichText.h"
#include "XmlWriter.h"

namespace {
struct Face
{
    const char *word;
    const char *open;
    const char *close;
};

const Face Faces[] = {
    {"bold", "<b>", "</b>"},
    {"italic", "<i>", "</i>"},
    {"underline", "<u>", "</u>"},
};

QString alignmentWord(int alignment)
{
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (alignment & Qt::AlignRight)
        return QStringLiteral("right");
    return QStringLiteral("left");
}

int alignmentFor(const QString &word)
{
    if (word.compare(QLatin1String("center"), Qt::CaseInsensitive) == 0)
        return Qt::AlignHCenter;
    if (word.compare(QLatin1String("right"), Qt::CaseInsensitive) == 0)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

QString boolWord(const QVariant &v)
{
    return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
}
} // namespace

WLabel::WLabel(QQuickItem *parent) : WWidget(parent) {}

QString WLabel::substitutePlaceholders(const QString &text) const
{
    if (!text.contains(QLatin1Char('*')))
        return text;
    if (!control()) {
        qCWarning(lcWidgets) << "Null parent found when processing WLabel";
        return text;
    }
    if (!node()) {
        // An unbound control keeps its text as the designer wrote it.
        qCDebug(lcWidgets) << "WLabel: no node to name in" << text;
        return text;
    }
    // Names are plain text inside rich text.
    QString out = text;
    out.replace(QLatin1String("*LABEL*"), WRichText::escape(node()->label()));
    out.replace(QLatin1String("*TITLE*"), WRichText::escape(node()->title()));
    return out;
}

void WLabel::setText(const QString &text)
{
    setItemProperty("text", WRichText::sanitize(text));
}

QString WLabel::plainText() const
{
    QString text = itemProperty("text").toString();
    for (const Face &f : Faces) {
        if (text.startsWith(QLatin1String(f.open)) && text.endsWith(QLatin1String(f.close)))
            text = text.mid(int(strlen(f.open)), text.size() - int(strlen(f.open)) - int(strlen(f.close)));
    }
    return text;
}

QString WLabel::face() const
{
    const QString text = itemProperty("text").toString();
    for (const Face &f : Faces) {
        if (text.startsWith(QLatin1String(f.open)) && text.endsWith(QLatin1String(f.close)))
            return QLatin1String(f.word);
    }
    return QString();
}

void WLabel::applyFace(const QString &word)
{
    for (const Face &f : Faces) {
        if (word == QLatin1String(f.word)) {
            setItemProperty("text", QLatin1String(f.open) + plainText() + QLatin1String(f.close));
            return;
        }
    }
}

bool WLabel::processLabelKey(const QString &name, const QString &value)
{
    if (name == QLatin1String("text")) {
        const QString currentFace = face();
        setItemProperty("text", substitutePlaceholders(WRichText::sanitize(value)));
        applyFace(currentFace);
    } else if (name == QLatin1String("align")) {
        setItemProperty("horizontalAlignment", alignmentFor(value));
    } else if (name == QLatin1String("face")) {
        applyFace(value);
    } else if (name == QLatin1String("color")) {
        setColorProperty("textColor", value);
    } else if (name == QLatin1String("rotation")) {
        setItemProperty("rotation", value.trimmed().toDouble());
    } else if (name == QLatin1String("scale")) {
        setItemProperty("textScale", value.trimmed().toFloat());
    } else if (name == QLatin1String("edit")) {
        setItemProperty("editEnable", value == QLatin1String("true"));
    } else if (name == QLatin1String("select")) {
        setItemProperty("selEnable", value == QLatin1String("true"));
    } else if (name == QLatin1String("autosize")) {
        setItemProperty("autoSize", value == QLatin1String("true"));
    } else {
        return false;
    }
    return true;
}

bool WLabel::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    // Templates number their labels too; the number is kept like any
    // widget's, though nothing links to a label.
    if (processRect(name, value) || processFractions(name, value) || processIdAndLink(name, value))
        return true;
    if (processLabelKey(name, value))
        return true;
    qCWarning(lcWidgets) << "Unexpected value for WLabel attribute name: " << name;
    return false;
}

void WLabel::writeLabelKeys(XmlWriter &writer, bool withText) const
{
    if (withText)
        writer.writeElement(QStringLiteral("text"), plainText());
    writer.writeElement(QStringLiteral("align"), alignmentWord(itemProperty("horizontalAlignment").toInt()));
    writer.writeElement(QStringLiteral("face"), face());
    writer.writeElement(QStringLiteral("color"), colorPropertyText("textColor"));
    writer.writeElement(QStringLiteral("rotation"), float(itemProperty("rotation").toDouble()));
    QString scale = QString::number(itemProperty("textScale").toFloat());
    if (scale.endsWith(QLatin1String(".0")))
        scale.chop(2);
    writer.writeElement(QStringLiteral("scale"), scale);
    writer.writeElement(QStringLiteral("edit"), boolWord(itemProperty("editEnable")));
    writer.writeElement(QStringLiteral("select"), boolWord(itemProperty("selEnable")));
    writer.writeElement(QStringLiteral("autosize"), boolWord(itemProperty("autoSize")));
}

bool WLabel::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writeLabelKeys(writer);
    return true;
}
