#include "UQuickBackend.h"

#include "KvrLogging.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>

namespace {
// The name OpenGL gives its renderer, or an empty text without OpenGL.
QString openGlRenderer()
{
    QOpenGLContext context;
    if (!context.create())
        return QString();
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!context.makeCurrent(&surface))
        return QString();
    const auto *name = reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER));
    const QString renderer = QString::fromLatin1(name ? name : "");
    context.doneCurrent();
    return renderer;
}
} // namespace

bool UQuickBackend::isSoftwareRenderer(const QString &rendererName)
{
    // Mesa's rasterisers name themselves so.
    for (const char *software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"}) {
        if (rendererName.contains(QLatin1String(software), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void UQuickBackend::chooseForThisMachine()
{
#ifdef Q_OS_LINUX
    // Elsewhere Qt Quick does not draw through OpenGL by default.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb") && !platform.startsWith(QLatin1String("wayland")))
        return;
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND"))
        return;
    const QString renderer = openGlRenderer();
    if (!isSoftwareRenderer(renderer))
        return;
    qCDebug(lcApp).noquote() << "OpenGL renders in software here (" + renderer
                                    + "); Qt Quick draws with its own software renderer.";
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
#endif
}
