#include "VQmlFrame.h"

#include <QQuickItem>
#include <QResizeEvent>
#include <QScreen>

VQmlFrame::VQmlFrame(QWindow *parent) : QQuickView(parent)
{
    setResizeMode(QQuickView::SizeViewToRootObject);
}

VQmlFrame::~VQmlFrame() = default;

qreal VQmlFrame::pixelsPerInch() const
{
    const QScreen *s = screen();
    return s ? s->logicalDotsPerInch() : 72.0;
}

void VQmlFrame::setSetupMenuEntries(const QString &commaSeparated)
{
    m_setupMenu = commaSeparated.split(QLatin1Char(','));
}

void VQmlFrame::resizeEvent(QResizeEvent *event)
{
    QQuickView::resizeEvent(event);
    if (QQuickItem *root = rootObject()) {
        root->setWidth(event->size().width());
        root->setHeight(event->size().height());
    }
}
