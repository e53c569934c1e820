#include "CCanvas.h"

#include "KvrLogging.h"
#include "VQmlFrame.h"
#include "XmlPanelTags.h"
#include "XmlWriter.h"

#include <QFile>
#include <QUrl>
#include <cmath>

const char *const CCanvas::DesktopScene = ":/qml/QmlDesktop.qml";
const char *const CCanvas::ElementName = "Canvas";
const char *const CCanvas::DefaultTopRow = "qrc:/qml/objects/QmlToolBarObject.qml";
const char *const CCanvas::DefaultBottomRow = "qrc:/qml/objects/QmlStatusBarObject.qml";
const char *const CCanvas::NoRow = "?";
const char *const CCanvas::DefaultSkin = "Light";
const char *const CCanvas::DefaultAccent = "Blue";

namespace {
// The keys of the Canvas element, in the order the file stores them.
const QLatin1String DeviceKey("device");
const QLatin1String SkinKey("skin");
const QLatin1String AccentKey("accent");
const QLatin1String SizeKey("size");
const QLatin1String AspectKey("aspect");
const QLatin1String TopRowKey("topRow");
const QLatin1String BottomRowKey("bottomRow");
const QLatin1String OrientationKey("orientation");
const QLatin1String TextKey("text");
const QLatin1String HorizCenterKey("horizcenter");
const QLatin1String MultiplyScaleFactorKey("multiplyScaleFactor");
} // namespace

void CCanvas::setSize(float size)
{
    m_previousSize = m_size;
    m_size = size;
    updatePixelSize();
}

void CCanvas::setAspect(float aspect)
{
    m_previousAspect = m_aspect;
    m_aspect = aspect;
    updatePixelSize();
}

void CCanvas::setDevice(const QString &device)
{
    m_previousDevice = m_device;
    m_device = device;
}

void CCanvas::setOrientation(int orientation)
{
    m_orientation = orientation;
    updatePixelSize();
}

bool CCanvas::toDimension(const QString &text, float *value)
{
    bool ok = false;
    const float number = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(number) || number <= 0.0f)
        return false;
    *value = number;
    return true;
}

bool CCanvas::setProperty(const QString &key, const QString &value)
{
    if (key == DeviceKey) {
        // Another screen starts from the plain look; the file's own skin
        // and accent follow the device key.
        setDevice(value);
        m_skin = QLatin1String(DefaultSkin);
        m_accent = QLatin1String(DefaultAccent);
    } else if (key == SkinKey) {
        m_skin = value;
    } else if (key == AccentKey) {
        m_accent = value;
    } else if (key == SizeKey || key == AspectKey) {
        float number = 0.0f;
        if (!toDimension(value, &number)) {
            qCDebug(lcDocument) << "CCanvas::setProperty - ignored" << key << "of" << value;
            return false;
        }
        if (key == SizeKey)
            setSize(number);
        else
            setAspect(number);
    } else if (key == TopRowKey) {
        m_topRow = value;
    } else if (key == BottomRowKey) {
        m_bottomRow = value;
    } else if (key == OrientationKey) {
        setOrientation(value.toInt());
    } else if (key == TextKey) {
        m_text = value;
    } else if (key == HorizCenterKey) {
        m_horizCenter = value.toInt() != 0;
    } else if (key == MultiplyScaleFactorKey) {
        // Written as 0 or 1; any other text still means "rescale".
        bool ok = false;
        const int number = value.trimmed().toInt(&ok);
        m_multiplyScaleFactor = !ok || number != 0;
    } else {
        qCDebug(lcDocument) << "CCanvas::setProperty - unknown key" << key;
        return false;
    }
    return true;
}

bool CCanvas::writeXml(XmlWriter &writer) const
{
    if (!writer.openElement(QLatin1String(ElementName)))
        return false;
    writer.openElement(QLatin1String(XmlPanelTags::Property), QLatin1String(XmlPanelTags::Attributes));
    writer.writeElement(DeviceKey, m_device);
    writer.writeElement(SkinKey, m_skin);
    writer.writeElement(AccentKey, m_accent);
    writer.writeElement(SizeKey, m_size);
    writer.writeElement(AspectKey, m_aspect);
    writer.writeElement(TopRowKey, m_topRow);
    writer.writeElement(BottomRowKey, m_bottomRow);
    writer.writeElement(OrientationKey, m_orientation);
    writer.writeElement(TextKey, m_text);
    writer.writeElement(HorizCenterKey, m_horizCenter ? 1 : 0);
    writer.writeElement(MultiplyScaleFactorKey, m_multiplyScaleFactor ? 1 : 0);
    writer.closeElement(QLatin1String(XmlPanelTags::Property));
    return writer.closeElement(QLatin1String(ElementName));
}

bool CCanvas::checkRescale()
{
    // != is true for a NaN, which must count as a change.
    if (m_device == m_previousDevice)
        m_multiplyScaleFactor = m_size != m_previousSize || m_aspect != m_previousAspect;
    else
        m_multiplyScaleFactor = m_forcedRescale;
    return m_multiplyScaleFactor;
}

void CCanvas::reset()
{
    m_size = DefaultSize;
    m_aspect = DefaultAspect;
    m_orientation = 1;
    m_horizCenter = true;
    m_device.clear();
    m_previousDevice.clear();
    // The rows belong to the file: one that names none gets the desktop's.
    m_topRow = QLatin1String(DefaultTopRow);
    m_bottomRow = QLatin1String(DefaultBottomRow);
    m_multiplyScaleFactor = false;
    m_forcedRescale = false;
    updatePixelSize();
}

void CCanvas::setView(VQmlFrame *view)
{
    m_view = view;
    updatePixelSize();
}

void CCanvas::pixelSizeFor(float size, float aspect, int orientation, double pixelsPerInch,
                           int *width, int *height)
{
    const float shortSide = std::sqrt(size * size / (aspect * aspect + 1.0f)) * float(pixelsPerInch);
    const float longSide = aspect * shortSide;
    // Truncated toward zero; a screen no display could have gives 0 rather
    // than an undefined conversion.
    const auto pixels = [](float side) {
        return std::isfinite(side) && std::fabs(side) < 1.0e9f ? int(side) : 0;
    };
    const bool portrait = orientation == 1;
    *width = pixels(portrait ? shortSide : longSide);
    *height = pixels(portrait ? longSide : shortSide);
}

void CCanvas::updatePixelSize()
{
    pixelSizeFor(m_size, m_aspect, m_orientation, m_view ? m_view->pixelsPerInch() : 0.0,
                 &m_width, &m_height);
}

bool CCanvas::loadDesktop(VQmlFrame *view)
{
    setView(view);
    const QString path = QLatin1String(DesktopScene);
    if (!QFile::exists(path)) {
        qCDebug(lcDocument) << "File at " << path << " does not exist.";
        return false;
    }
    if (view)
        view->setSource(QUrl(QStringLiteral("qrc") + path));
    return true;
}
