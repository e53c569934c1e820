#include "WMeterImage.h"

#include "XmlWriter.h"

namespace {
const QLatin1String PathKey("path");
const QLatin1String ImageSizeKey("imagesize");
const QLatin1String OpacityKey("imageOpacity");
} // namespace

const char *const WMeterImage::GreyLamp = "../images/meterGrey.png";
const char *const WMeterImage::GreenLamp = "../images/meterGreen.png";
const char *const WMeterImage::YellowLamp = "../images/meterYellow.png";
const char *const WMeterImage::OrangeLamp = "../images/meterOrange.png";

WMeterImage::WMeterImage(QQuickItem *parent) : WMeterBase(parent), m_path(QLatin1String(GreyLamp)) {}

void WMeterImage::initialize(QQuickItem *)
{
    setItemProperty("path", m_path);
}

void WMeterImage::refresh()
{
    if (!item() || !transform())
        return;
    const double reading = level();
    const char *lamp = reading <= m_minimum ? GreyLamp
                       : reading <= lowBreak() ? GreenLamp
                       : reading <= highBreak() ? YellowLamp
                                                : OrangeLamp;
    m_outputEnabled = false;
    setItemProperty("path", QLatin1String(lamp));
    m_outputEnabled = true;
}

void WMeterImage::stopShowing(bool offline)
{
    if (offline)
        setItemProperty("path", QLatin1String(GreyLamp));
}

bool WMeterImage::processOwnKey(const QString &name, const QString &value)
{
    if (name == PathKey) {
        m_path = value;
        setItemProperty("path", value);
    } else if (name == ImageSizeKey) {
        setItemProperty("imageSize", value.trimmed().toDouble());
    } else if (name == OpacityKey) {
        setItemProperty("imageOpacity", value.trimmed().toDouble());
    } else {
        return false;
    }
    return true;
}

void WMeterImage::writeOwnKeys(XmlWriter &writer) const
{
    writer.writeElement(PathKey, m_path);
    writer.writeElement(ImageSizeKey, float(itemProperty("imageSize").toDouble()));
    writer.writeElement(OpacityKey, float(itemProperty("imageOpacity").toDouble()));
}
