#include "WCmdButton.h"

#include "KvrLogging.h"
#include "WImagePath.h"
#include "XmlWriter.h"

namespace {
const QLatin1String CommandKey("command");
const QLatin1String TitleKey("title");
const QLatin1String ImageKey("onimage");
const QLatin1String ImageSizeKey("imagesize");
const QLatin1String HasBorderKey("hasBorder");
} // namespace

WCmdButton::WCmdButton(QQuickItem *parent) : WButton(parent) {}

QString WCmdButton::imagePath(const QString &key)
{
    const QString trimmed = key.trimmed();
    if (trimmed.isEmpty())
        return QString();
    return WImagePath::resolve(trimmed.contains(QLatin1Char('.')) ? trimmed
                                                                 : QStringLiteral("../images/") + trimmed + QStringLiteral(".png"));
}

bool WCmdButton::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (processRect(name, value) || processIdAndLink(name, value))
        return true;
    if (name == CommandKey) {
        m_command = value;
    } else if (name == TitleKey) {
        setItemProperty("text", value);
        setItemProperty("hasText", !value.isEmpty());
    } else if (name == ImageKey) {
        m_imageKey = value;
        const QString path = imagePath(value);
        setItemProperty("onImage", path);
        setItemProperty("hasImage", !path.isEmpty());
    } else if (name == ImageSizeKey) {
        setItemProperty("imageSize", value.trimmed().toFloat());
    } else if (name == HasBorderKey) {
        setItemProperty("hasBorder", value.trimmed().toInt());
    } else {
        return false;
    }
    return true;
}

bool WCmdButton::writeXml(XmlWriter &writer)
{
    writeSharedKeys(writer);
    writer.writeElement(TitleKey, itemProperty("text").toString());
    writer.writeElement(ImageKey, m_imageKey);
    writer.writeElement(ImageSizeKey, itemProperty("imageSize").toFloat());
    writer.writeElement(HasBorderKey, itemProperty("hasBorder").toInt());
    writer.writeElement(CommandKey, m_command);
    return true;
}

void WCmdButton::outputPressed()
{
    if (!item())
        return;
    if (!m_linkedWidget) {
        qCDebug(lcWidgets) << "WCmdButton: no widget to take the command" << m_command;
        return;
    }
    // The receiver gets a copy: the key keeps its command whatever it does.
    const QString command = m_command;
    m_linkedWidget->runCommand(command);
}

void WCmdButton::outputReleased() {}
