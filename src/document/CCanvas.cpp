#include "CCanvas.h"

#include "KvrLogging.h"
#include "VQmlFrame.h"

#include <QFile>
#include <QUrl>
#include <cmath>

const char *const CCanvas::DesktopScene = ":/qml/QmlDesktop.qml";

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
    const bool portrait = orientation == 1;
    *width = int(portrait ? shortSide : longSide);
    *height = int(portrait ? longSide : shortSide);
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
