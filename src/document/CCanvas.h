#pragma once

#include <QString>

class VQmlFrame;

// The virtual screen of the mobile device that shows the panels: its size in
// pixels follows the device's diagonal, aspect and orientation at the view's
// pixel density.
class CCanvas
{
public:
    static const char *const DesktopScene;

    CCanvas() = default;
    virtual ~CCanvas() = default;

    int width() const { return m_width; }
    int height() const { return m_height; }
    float size() const { return m_size; }
    float aspect() const { return m_aspect; }
    int orientation() const { return m_orientation; }
    QString device() const { return m_device; }
    QString skin() const { return m_skin; }
    QString accent() const { return m_accent; }

    void setSize(float size);
    void setAspect(float aspect);
    void setDevice(const QString &device);
    void setOrientation(int orientation);

    VQmlFrame *view() const { return m_view; }
    void setView(VQmlFrame *view);

    // Recomputes width and height from size, aspect, orientation and the
    // view's pixels per inch (0 without a view).
    void updatePixelSize();
    // Sizes for an explicit pixel density, for callers without a view.
    static void pixelSizeFor(float size, float aspect, int orientation, double pixelsPerInch,
                             int *width, int *height);

    // Loads the desktop scene into the view.
    bool loadDesktop(VQmlFrame *view);

private:
    QString m_device;
    float m_size = 6.0f;
    float m_aspect = 1.7777778f;
    int m_orientation = 1;
    int m_width = 200;
    int m_height = 300;
    QString m_skin = QStringLiteral("Light");
    QString m_accent = QStringLiteral("Blue");
    QString m_previousDevice;
    float m_previousSize = 6.0f;
    float m_previousAspect = 1.7777778f;
    VQmlFrame *m_view = nullptr;
};
