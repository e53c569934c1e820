#include "WPanelLink.h"

#include "CComposite.h"
#include "KvrLogging.h"
#include "MModel.h"
#include "WDelegate.h"
#include "WImagePath.h"
#include "WRichText.h"
#include "WWidgetFactory.h"
#include "XmlWriter.h"

namespace {
const QLatin1String TextKey("text");
const QLatin1String PathKey("path");
const QLatin1String ImageKey("image");
const QLatin1String ImagePathKey("imagepath");
const QLatin1String ImageValidKey("imagevalid");
const QLatin1String ButtonModeKey("buttonmode");
const QLatin1String HasBorderKey("hasBorder");
const QLatin1String KeepInBoundsKey("keepImageInBounds");

const QLatin1String ImageWord("Image");
const QLatin1String TextWord("Text");
const QLatin1String ButtonWord("Button");
const QLatin1String BlankWord("Blank");
} // namespace

WPanelLink::WPanelLink(QQuickItem *parent) : WLabel(parent)
{
    m_jumpTimer.setSingleShot(true);
    m_jumpTimer.setInterval(JumpDelayMs);
    connect(&m_jumpTimer, &QTimer::timeout, this, &WPanelLink::onJumpTimerTimeout);
}

void WPanelLink::setTargetPanel(const CControl *panel)
{
    if (!panel)
        return;
    const CComposite *scene = panel->parentComposite();
    m_target = scene && !scene->name().isEmpty() ? scene->name() + QLatin1Char('/') + panel->name() : panel->name();
    setItemProperty("text", WRichText::escape(panel->name()));
}

bool WPanelLink::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (name == PathKey) {
        m_target = value.trimmed();
    } else if (name == ImageKey || name == ImagePathKey) {
        (name == ImageKey ? m_image : m_imagePath) = value;
        // The path names the image; a link written with only its image's
        // name shows that.
        const QString source = m_imagePath.trimmed().isEmpty() ? m_image : m_imagePath;
        setItemProperty("imagePath", WImagePath::resolve(source));
    } else if (name == ImageValidKey) {
        setItemProperty("imageValid", value.trimmed() == ImageWord);
    } else if (name == ButtonModeKey) {
        setItemProperty("buttonMode", value.trimmed() == ButtonWord);
    } else if (name == HasBorderKey) {
        setItemProperty("hasBorder", value.trimmed().toInt());
    } else if (name == KeepInBoundsKey) {
        setItemProperty("keepImageInBounds", value.trimmed().toInt());
    } else {
        return WLabel::processProperty(name, value);
    }
    return true;
}

bool WPanelLink::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(TextKey, plainText());
    writer.writeElement(PathKey, m_target);
    writer.writeElement(ImageKey, m_image);
    writer.writeElement(ImagePathKey, m_imagePath);
    writer.writeElement(ImageValidKey, itemProperty("imageValid").toBool() ? ImageWord : TextWord);
    writer.writeElement(ButtonModeKey, itemProperty("buttonMode").toBool() ? ButtonWord : BlankWord);
    writer.writeElement(HasBorderKey, itemProperty("hasBorder").toInt());
    writer.writeElement(KeepInBoundsKey, itemProperty("keepImageInBounds").toInt());
    writeLabelKeys(writer, false);
    return true;
}

void WPanelLink::selectPanel()
{
    // The jump waits for the click to finish: the link's own panel goes away.
    m_jumpTimer.start();
}

void WPanelLink::onJumpTimerTimeout()
{
    MModel *model = WDelegate::instance()->factory()->model();
    if (!model) {
        qCDebug(lcWidgets) << "WPanelLink: no model to open" << m_target;
        return;
    }
    model->followLink(m_target);
}
