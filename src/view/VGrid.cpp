#include "VGrid.h"

#include <Qt>
#include <cmath>

VGrid::VGrid(double scale) : m_cell(5.0 * scale) {}

QPointF VGrid::snap(const QPointF &point) const
{
    return QPointF(point.x() - std::fmod(point.x(), m_cell), point.y() - std::fmod(point.y(), m_cell));
}

QPointF VGrid::arrowOffset(int key, bool snapOn) const
{
    const double step = snapOn ? m_cell : 1.0;
    switch (key) {
    case Qt::Key_Left:
        return QPointF(-step, 0);
    case Qt::Key_Up:
        return QPointF(0, -step);
    case Qt::Key_Right:
        return QPointF(step, 0);
    case Qt::Key_Down:
        return QPointF(0, step);
    default:
        return QPointF(0, 0);
    }
}
