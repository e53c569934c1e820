#include "CCanvasRecord.h"

#include "CCanvas.h"

#include <QStringList>

bool CCanvasRecord::parse(const QString &line)
{
    QString text = line.left(line.indexOf(QLatin1Char('\n')));
    if (text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    const QStringList fields = text.split(QLatin1Char('\t'));
    float size = 0.0f;
    float aspect = 0.0f;
    if (fields.size() < 3 || fields.at(0).isEmpty() || !CCanvas::toDimension(fields.at(1), &size)
        || !CCanvas::toDimension(fields.at(2), &aspect))
        return false;
    m_device = fields.at(0);
    m_size = size;
    m_aspect = aspect;
    // The rest may hold tabs of its own.
    m_rest = fields.mid(3).join(QLatin1Char('\t'));
    return true;
}

void CCanvasRecord::copyTo(CCanvas &canvas) const
{
    canvas.setDevice(m_device);
    canvas.setSize(m_size);
    canvas.setAspect(m_aspect);
}
