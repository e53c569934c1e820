#include "WImage.h"

#include "KvrLogging.h"
#include "UArchive.h"
#include "XmlWriter.h"

#include <QFileInfo>

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

QString WImage::resolveImage(const QString &path)
{
    const QUrl url = UArchive::instance()->memberUrl(QFileInfo(path).fileName());
    return url.isEmpty() ? path : url.toString();
}

void WImage::setBackgroundFillMode(int mode)
{
    QQuickItem *it = item();
    if (!it)
        return;
    if (mode >= 0 && !isBackground()) {
        m_savedGeometry = QRectF(it->x(), it->y(), it->width(), it->height());
    } else if (mode < 0 && m_savedGeometry != NoGeometry) {
        it->setX(m_savedGeometry.x());
        it->setY(m_savedGeometry.y());
        it->setWidth(m_savedGeometry.width());
        it->setHeight(m_savedGeometry.height());
        m_savedGeometry = NoGeometry;
    }
    setItemProperty("backgroundFillMode", mode);
}

bool WImage::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (processRect(name, value) || processIdAndLink(name, value))
        return true;
    if (name == QLatin1String("path")) {
        m_path = value;
        setItemProperty("path", resolveImage(value));
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
    WWidget::writeXml(writer);
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
