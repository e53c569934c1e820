#include "WPolygon.h"

#include "KvrLogging.h"
#include "VGrid.h"
#include "WDelegate.h"
#include "XmlWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

namespace {
const QString FieldColorKey = QStringLiteral("fieldcolor");
const QString BorderColorKey = QStringLiteral("bordercolor");
const QString BorderWidthKey = QStringLiteral("borderwidth");
const QString PolygonKey = QStringLiteral("polygon");
const QString PathKey = QStringLiteral("path");

bool isUsableSize(double width, double height)
{
    return std::isfinite(width) && std::isfinite(height) && width > 0.0 && height > 0.0;
}

double nearZero(double d)
{
    return std::fabs(d) < WPolygon::Tolerance ? 0.0 : d;
}
} // namespace

WPolygon::WPolygon(QQuickItem *parent) : WWidget(parent) {}

void WPolygon::initialize(QQuickItem *item)
{
    connect(item, &QQuickItem::widthChanged, this, &WPolygon::onItemResized);
    connect(item, &QQuickItem::heightChanged, this, &WPolygon::onItemResized);
}

// --- vertex texts ----------------------------------------------------------------

QString WPolygon::vertexText(const QList<QPointF> &vertices)
{
    QString text;
    for (const QPointF &p : vertices)
        text += QString::number(p.x(), 'g', 6) + QLatin1Char(',') + QString::number(p.y(), 'g', 6) + QLatin1Char(' ');
    return text;
}

QList<QPointF> WPolygon::parseVertexText(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QList<QPointF> vertices;
    const QStringList pieces = text.split(blanks, Qt::SkipEmptyParts);
    for (const QString &piece : pieces) {
        const QStringList xy = piece.split(QLatin1Char(','));
        bool okX = false;
        bool okY = false;
        const double x = xy.size() == 2 ? xy.at(0).toDouble(&okX) : 0.0;
        const double y = xy.size() == 2 ? xy.at(1).toDouble(&okY) : 0.0;
        if (okX && okY && std::isfinite(x) && std::isfinite(y))
            vertices.append(QPointF(x, y));
        else
            qCDebug(lcWidgets).noquote() << "Polygon vertex skipped:" << piece.left(40);
    }
    return vertices;
}

QString WPolygon::vertexJson(const QList<QPointF> &vertices)
{
    QJsonArray array;
    for (const QPointF &p : vertices)
        array.append(QJsonObject{{QStringLiteral("x"), p.x()}, {QStringLiteral("y"), p.y()}});
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

bool WPolygon::parseVertexJson(const QString &json, QList<QPointF> *vertices)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return false;
    QList<QPointF> read;
    const QJsonArray array = document.array();
    for (const QJsonValue &value : array) {
        const QJsonObject vertex = value.toObject();
        const QJsonValue x = vertex.value(QStringLiteral("x"));
        const QJsonValue y = vertex.value(QStringLiteral("y"));
        if (!value.isObject() || !x.isDouble() || !y.isDouble() || !std::isfinite(x.toDouble())
            || !std::isfinite(y.toDouble()))
            return false;
        read.append(QPointF(x.toDouble(), y.toDouble()));
    }
    *vertices = read;
    return true;
}

// --- vertices --------------------------------------------------------------------

void WPolygon::showVertices(const QList<QPointF> &vertices)
{
    m_vertices = vertices;
    QVariantList model;
    model.reserve(vertices.size());
    for (const QPointF &p : vertices)
        model.append(p);
    setItemProperty("model", model);
    m_changed = true;
    if (item())
        item()->update();
}

void WPolygon::setVertices(const QList<QPointF> &vertices)
{
    m_givenVertices = vertices;
    m_givenSize = item() && isUsableSize(item()->width(), item()->height()) ? item()->size() : QSizeF();
    showVertices(vertices);
}

void WPolygon::onItemResized()
{
    if (!item())
        return;
    const QSizeF size = item()->size();
    if (!isUsableSize(size.width(), size.height()))
        return;
    if (!m_givenSize.isValid() || m_givenSize.isEmpty()) {
        // Vertices read before the item had a size belong to the size it
        // takes first.
        m_givenSize = size;
        return;
    }
    const double fx = size.width() / m_givenSize.width();
    const double fy = size.height() / m_givenSize.height();
    QList<QPointF> scaled;
    scaled.reserve(m_givenVertices.size());
    for (const QPointF &p : std::as_const(m_givenVertices))
        scaled.append(QPointF(p.x() * fx, p.y() * fy));
    showVertices(scaled);
}

QRectF WPolygon::vertexBounds() const
{
    QRectF bounds;
    for (const QPointF &p : m_vertices) {
        const QRectF dot(p, QSizeF(1e-6, 1e-6));
        bounds = bounds.isNull() ? dot : bounds.united(dot);
    }
    return bounds;
}

bool WPolygon::contains(const QPointF &point) const
{
    const int n = int(m_vertices.size());
    int crossings = 0;
    for (int i = 0; i < n; ++i) {
        const QPointF &a = m_vertices.at(i);
        const QPointF &b = m_vertices.at((i + 1) % n);
        const double dxa = nearZero(a.x() - point.x());
        const double dya = nearZero(a.y() - point.y());
        const double dxb = nearZero(b.x() - point.x());
        const double dyb = nearZero(b.y() - point.y());
        if ((dya > 0.0) == (dyb > 0.0))
            continue;
        if (dxa > 0.0 && dxb > 0.0) {
            ++crossings;
        } else if ((dxa > 0.0) != (dxb > 0.0)) {
            // Where the edge meets the point's line, relative to the point.
            const double x = dxa - dya * (dxb - dxa) / (dyb - dya);
            if (x > 0.0)
                ++crossings;
        }
    }
    return crossings % 2 == 1;
}

// --- geometry --------------------------------------------------------------------

void WPolygon::scaleGeometry(double factor, bool both)
{
    if (!std::isfinite(factor) || factor <= 0.0)
        return;
    WWidget::scaleGeometry(factor, both);
}

void WPolygon::placeIn(const QRectF &rect)
{
    if (!std::isfinite(rect.x()) || !std::isfinite(rect.y()) || !isUsableSize(rect.width(), rect.height()))
        return;
    WWidget::placeIn(rect);
}

void WPolygon::dump() const
{
    qCDebug(lcWidgets).noquote() << type() << item() << vertexText(m_vertices);
}

// --- QML ---------------------------------------------------------------------------

bool WPolygon::outputPressed(double x, double y)
{
    return contains(QPointF(x, y));
}

void WPolygon::editWidget(int key, bool snap)
{
    const QPointF offset = VGrid(WDelegate::instance()->viewScale()).arrowOffset(key, snap);
    if (!offset.isNull())
        moveBy(offset);
}

void WPolygon::setFieldColor(const QString &color)
{
    setColorProperty("fieldColor", color);
}

QString WPolygon::getVertexJson() const
{
    return vertexJson(m_vertices);
}

void WPolygon::saveVertices(const QString &vertexJsonList)
{
    QList<QPointF> vertices;
    if (!parseVertexJson(vertexJsonList, &vertices)) {
        qCDebug(lcWidgets) << "WPolygon::saveVertices: not an array of vertices; the polygon is kept";
        return;
    }
    setVertices(vertices);
}

// --- panel file ----------------------------------------------------------------------

bool WPolygon::processPolygonKey(const QString &name, const QString &value)
{
    if (name == FieldColorKey)
        setColorProperty("fieldColor", value);
    else if (name == BorderColorKey)
        setColorProperty("borderColor", value);
    else if (name == BorderWidthKey)
        setItemProperty("borderWidth", value.trimmed().toDouble());
    else if (name == PolygonKey)
        setVertices(parseVertexText(value));
    else if (name == PathKey)
        m_path = value;
    else
        return false;
    return true;
}

void WPolygon::writePolygonKeys(XmlWriter &writer) const
{
    writer.writeElement(FieldColorKey, colorPropertyText("fieldColor"));
    writer.writeElement(BorderColorKey, colorPropertyText("borderColor"));
    writer.writeElement(BorderWidthKey, QString::number(itemProperty("borderWidth").toDouble()));
    writer.writeElement(PolygonKey, vertexText(m_vertices));
    writer.writeElement(PathKey, m_path);
}

bool WPolygon::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (processPolygonKey(name, value))
        return true;
    return WWidget::processProperty(name, value);
}

bool WPolygon::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writePolygonKeys(writer);
    return true;
}
