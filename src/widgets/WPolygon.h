#pragma once

#include "WWidget.h"

#include <QList>
#include <QPointF>
#include <QSizeF>

// Base of the polygon-shaped widgets (regions, rooms). It keeps the closed
// polygon's vertices in the item's own coordinates, reads and writes them in
// the panel file, hands them to its QML file as the item's "model", answers
// whether a point lies inside, and scales the shape with the item so that it
// keeps its place on the canvas.
//
// The vertices are kept as given together with the item size they belong
// to; the shown vertices are always computed from those, so repeated
// layouts never drift.
class WPolygon : public WWidget
{
    Q_OBJECT
public:
    // Edge ends closer than this to the point's lines count as on them.
    static constexpr double Tolerance = 1e-5;

    explicit WPolygon(QQuickItem *parent = nullptr);

    void initialize(QQuickItem *item) override;
    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;
    void scaleGeometry(double factor, bool both) override;
    void placeIn(const QRectF &rect) override;
    void dump() const override;

    const QList<QPointF> &vertices() const { return m_vertices; }
    void setVertices(const QList<QPointF> &vertices);
    // The smallest rectangle that holds every vertex; empty without any.
    QRectF vertexBounds() const;
    // Whether point, in the shown item's coordinates, lies inside the shape.
    // Also answers Qt's hit test for this object, which holds no input of
    // its own.
    bool contains(const QPointF &point) const override;
    QString linkPath() const { return m_path; }
    bool hasChanged() const { return m_changed; }

    // "x,y x,y ": six significant digits, each vertex followed by a blank.
    static QString vertexText(const QList<QPointF> &vertices);
    // The vertices of such a text; pieces that are not two finite numbers
    // joined by a comma are skipped.
    static QList<QPointF> parseVertexText(const QString &text);
    // [{"x": .., "y": ..}, ...] as indented JSON.
    static QString vertexJson(const QList<QPointF> &vertices);
    // False, leaving vertices alone, unless json is an array of objects
    // whose "x" and "y" are finite numbers.
    static bool parseVertexJson(const QString &json, QList<QPointF> *vertices);

    // Whether the point (item coordinates) lies inside.
    Q_INVOKABLE virtual bool outputPressed(double x, double y);
    // Edit mode: an arrow key moves the polygon by the placement grid
    // (by grid cells when snap is set, else by pixels).
    Q_INVOKABLE void editWidget(int key, bool snap);
    Q_INVOKABLE void setFieldColor(const QString &color);
    Q_INVOKABLE QString getVertexJson() const;
    // The editor's vertices, for the item's present size.
    Q_INVOKABLE void saveVertices(const QString &vertexJsonList);

protected:
    // The polygon keys, next to each other in reading and writing order.
    bool processPolygonKey(const QString &name, const QString &value);
    void writePolygonKeys(XmlWriter &writer) const;

private:
    void onItemResized();
    void showVertices(const QList<QPointF> &vertices);

    QList<QPointF> m_vertices;
    // The vertices as given, and the item size they were given for.
    QList<QPointF> m_givenVertices;
    QSizeF m_givenSize;
    QString m_path;
    bool m_changed = false;
};
