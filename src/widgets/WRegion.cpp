#include "WRegion.h"

#include "KvrLogging.h"
#include "MModel.h"
#include "ULogger.h"
#include "WDelegate.h"
#include "WWidgetFactory.h"

const char *const WRegion::LogTestLine = "Test Log Write Success";

WRegion::WRegion(QQuickItem *parent) : WPolygon(parent)
{
    m_jumpTimer.setSingleShot(true);
    m_jumpTimer.setInterval(JumpDelayMs);
    connect(&m_jumpTimer, &QTimer::timeout, this, &WRegion::onJumpTimerTimeout);
    ULogger::instance()->logRaw(QLatin1String(LogTestLine));
}

bool WRegion::outputPressed(double x, double y)
{
    const bool inside = WPolygon::outputPressed(x, y);
    if (inside)
        m_jumpTimer.start();
    return inside;
}

void WRegion::onJumpTimerTimeout()
{
    WWidgetFactory *factory = WDelegate::instance()->factory();
    MModel *model = factory ? factory->model() : nullptr;
    if (!model) {
        qCDebug(lcWidgets) << "WRegion: no application model to follow the link" << linkPath();
        return;
    }
    model->followLink(linkPath());
}
