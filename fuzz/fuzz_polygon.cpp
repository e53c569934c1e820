// Seeds: fuzz/corpus/polygon/*
//
// The vertices of a region or room outline, as a panel file stores them
// ("x,y x,y ...") and as the editor hands them back (a JSON array of
// {"x", "y"} objects), given to a polygon that is then asked what it covers.
// Whatever is read must survive being written and read again.

#include "FuzzSupport.h"
#include "WPolygon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzz::bytes(data, size));
    const QList<QPointF> fromText = WPolygon::parseVertexText(text);
    if (WPolygon::parseVertexText(WPolygon::vertexText(fromText)).size() != fromText.size())
        fuzz::violated("a vertex text written back loses vertices", text.left(200));

    QList<QPointF> fromJson;
    if (WPolygon::parseVertexJson(text, &fromJson)) {
        QList<QPointF> again;
        if (!WPolygon::parseVertexJson(WPolygon::vertexJson(fromJson), &again) || again != fromJson)
            fuzz::violated("vertices written as JSON do not read back", text.left(200));
    }

    WPolygon polygon;
    polygon.setVertices(fromText);
    const QRectF bounds = polygon.vertexBounds();
    polygon.contains(bounds.center());
    polygon.contains(bounds.topLeft());
    for (const QPointF &vertex : fromText.mid(0, 16))
        polygon.contains(vertex);
    polygon.saveVertices(text);
    polygon.contains(QPointF(0, 0));
    fuzz::settle();
    return 0;
}
