#pragma once

#include <QPointF>

// The placement grid of the canvas: cells of five pixels at the given scale.
class VGrid
{
public:
    explicit VGrid(double scale = 1.0);
    virtual ~VGrid() = default;

    double cellSize() const { return m_cell; }
    QPointF snap(const QPointF &point) const;
    // The offset that an arrow key moves a control by: one cell with
    // snapping on, one pixel without; other keys give no offset.
    QPointF arrowOffset(int key, bool snapOn) const;

private:
    double m_cell;
};
