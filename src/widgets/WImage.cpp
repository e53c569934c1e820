#include "WImage.h"

#include "KvrLogging.h"
#include "WImagePath.h"
#include "XmlWriter.h"


namespace {
const QRectF NoGeometry(-999, -999, -999, -999);
}

WImage::WImage(QQuickItem *parent) : WWidget(parent) {}

void WImage::initialize(QQuickItem *)
{
    m_path = QStringLiteral("../images/default.png");
    setItemProperty("path", m_path);
    setItemProperty("backgroundFillMode", -1);
    setItemProperty("imageOpacity", 1.0);
    setItemProperty("maxCachedImageWidth", 2048);
}

QRectF WImage::savedGeometry() const
{
    return m_savedGeometry == NoGeometry ? QRectF() : m_savedGeometry;
}

void WImage::setBackgroundFillMode(int mode)
{
    QQuickItem *it = item();
    if (!it)
        return;
    // Saved once when the image becomes a background (a second mode must
    // not save the fill geometry over it), restored only when saved.
    if (mode >= 0 && !isBackground()) {
        m_savedGeometry = QRectF(it->x(), it->y(), it->width(), it->height());
    } else if (mode < 0 && m_savedGeometry != NoGeometry) {
        // The item lets go of the panel first, then takes its place back.
        setItemProperty("backgroundFillMode", mode);
        it->setX(m_savedGeometry.x());
        it->setY(m_savedGeometry.y());
        it->setWidth(m_savedGeometry.width());
        it->setHeight(m_savedGeometry.height());
        m_savedGeometry = NoGeometry;
        return;
    }
    setItemProperty("backgroundFillMode", mode);
}

bool WImage::keepRect(const QString &name, const QString &value)
{
    const double v = value.trimmed().toFloat();
    if (name == QLatin1String("x"))
        m_savedGeometry.moveLeft(v);
    else if (name == QLatin1String("y"))
        m_savedGeometry.moveTop(v);
    else if (name == QLatin1String("width"))
        m_savedGeometry.setWidth(v);
    else if (name == QLatin1String("height"))
        m_savedGeometry.setHeight(v);
    else
        return false;
    return true;
}

bool WImage::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    // A background fills its panel; the place the file gives it is kept
    // for when it stops being one.
    if (isBackground() && m_savedGeometry != NoGeometry && keepRect(name, value))
        return true;
    if (processRect(name, value))
        return true;
    if (processIdAndLink(name, value))
        return true;
    if (name == QLatin1String("path")) {
        m_path = value;
        setItemProperty("path", WImagePath::resolve(value));
    } else if (name == QLatin1String("imagesize")) {
        setItemProperty("imageSize", value);
    } else if (name == QLatin1String("backgroundFillMode")) {
        setBackgroundFillMode(value.trimmed().toInt());
    } else if (name == QLatin1String("imageOpacity")) {
        setItemProperty("imageOpacity", value.trimmed().toFloat());
    } else if (name == QLatin1String("maxCachedImageWidth")) {
        setItemProperty("maxCachedImageWidth", value.trimmed().toInt());
    } else {
        return false;
    }
    return true;
}

bool WImage::writeXml(XmlWriter &writer)
{
    // A background's place is the one it had before it filled the panel.
    if (isBackground() && m_savedGeometry != NoGeometry)
        writeSharedKeys(writer, m_savedGeometry);
    else
        writeSharedKeys(writer);
    writer.writeElement(QStringLiteral("path"), m_path);
    writer.writeElement(QStringLiteral("imagesize"), itemProperty("imageSize").toString());
    writer.writeElement(QStringLiteral("backgroundFillMode"), itemProperty("backgroundFillMode").toInt());
    writer.writeElement(QStringLiteral("imageOpacity"), itemProperty("imageOpacity").toFloat());
    writer.writeElement(QStringLiteral("maxCachedImageWidth"), itemProperty("maxCachedImageWidth").toInt());
    return true;
}

QRectF WImage::geometry() const
{
    if (isBackground()) {
        qCDebug(lcWidgets) << "Returning empty bounds for image";
        return QRectF();
    }
    return WWidget::geometry();
}
