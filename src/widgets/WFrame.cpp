#include "WFrame.h"

#include "XmlWriter.h"

WFrame::WFrame(QQuickItem *parent) : WWidget(parent) {}

bool WFrame::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (processRect(name, value))
        return true;
    if (name == QLatin1String("shape") || name == QLatin1String("shadow"))
        return true;
    if (name == QLatin1String("fieldcolor"))
        setColorProperty("fieldColor", value);
    else if (name == QLatin1String("bordercolor"))
        setColorProperty("borderColor", value);
    else if (name == QLatin1String("borderwidth"))
        setItemProperty("borderWidth", value.trimmed().toFloat());
    else if (name == QLatin1String("hasBorder"))
        setItemProperty("hasBorder", value.trimmed().toInt());
    else
        return false;
    return true;
}

bool WFrame::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(QStringLiteral("shape"), QStringLiteral("box"));
    writer.writeElement(QStringLiteral("shadow"), QStringLiteral("plain"));
    writer.writeElement(QStringLiteral("fieldcolor"), colorPropertyText("fieldColor"));
    writer.writeElement(QStringLiteral("bordercolor"), colorPropertyText("borderColor"));
    writer.writeElement(QStringLiteral("borderwidth"), itemProperty("borderWidth").toFloat());
    writer.writeElement(QStringLiteral("hasBorder"), itemProperty("hasBorder").toInt());
    return true;
}
