#pragma once

#include <QString>

class VQmlFrame;
class XmlWriter;

// The virtual screen of the mobile device that shows the panels: its size in
// pixels follows the device's diagonal, aspect and orientation at the view's
// pixel density. The panel file's Canvas element reads into it key by key and
// is written back from it.
class CCanvas
{
public:
    static const char *const DesktopScene;
    static const char *const ElementName;
    static const char *const DefaultTopRow;
    static const char *const DefaultBottomRow;
    // The row path that stands for "no row".
    static const char *const NoRow;
    static const char *const DefaultSkin;
    static const char *const DefaultAccent;
    static constexpr float DefaultSize = 6.0f;
    static constexpr float DefaultAspect = 1.7777778f;

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
    QString text() const { return m_text; }
    bool horizCenter() const { return m_horizCenter; }
    QString topRow() const { return m_topRow; }
    QString bottomRow() const { return m_bottomRow; }

    // The values before the last setDevice, setSize and setAspect.
    QString previousDevice() const { return m_previousDevice; }
    float previousSize() const { return m_previousSize; }
    float previousAspect() const { return m_previousAspect; }

    bool multiplyScaleFactor() const { return m_multiplyScaleFactor; }
    bool forcedRescale() const { return m_forcedRescale; }
    void setForcedRescale(bool forced) { m_forcedRescale = forced; }

    void setSize(float size);
    void setAspect(float aspect);
    void setDevice(const QString &device);
    void setOrientation(int orientation);

    // Sets one key of the Canvas element from its text. False for an unknown
    // key and for a size or aspect that is not a positive number, which
    // keeps the value it had.
    bool setProperty(const QString &key, const QString &value);
    // Writes the Canvas element with its keys in the file's order.
    bool writeXml(XmlWriter &writer) const;

    // Decides whether the panels must be rescaled after a new device screen
    // or size was applied: on the same device exactly when size or aspect
    // changed, on another device when a rescale is forced. The answer is
    // also kept as multiplyScaleFactor.
    bool checkRescale();

    // Back to the default screen for a new document; skin, accent, text and
    // the rows stay as they are.
    void reset();

    VQmlFrame *view() const { return m_view; }
    void setView(VQmlFrame *view);

    // Recomputes width and height from size, aspect, orientation and the
    // view's pixels per inch (0 without a view).
    void updatePixelSize();
    // Sizes for an explicit pixel density, for callers without a view.
    static void pixelSizeFor(float size, float aspect, int orientation, double pixelsPerInch,
                             int *width, int *height);
    // Reads a screen diagonal or aspect: only a finite positive number will do.
    static bool toDimension(const QString &text, float *value);

    // Loads the desktop scene into the view.
    bool loadDesktop(VQmlFrame *view);

private:
    QString m_device;
    float m_size = DefaultSize;
    float m_aspect = DefaultAspect;
    int m_orientation = 1;
    int m_width = 200;
    int m_height = 300;
    bool m_horizCenter = true;
    QString m_skin = QLatin1String(DefaultSkin);
    QString m_accent = QLatin1String(DefaultAccent);
    QString m_text;
    QString m_topRow = QLatin1String(DefaultTopRow);
    QString m_bottomRow = QLatin1String(DefaultBottomRow);
    QString m_previousDevice;
    float m_previousSize = DefaultSize;
    float m_previousAspect = DefaultAspect;
    bool m_multiplyScaleFactor = false;
    bool m_forcedRescale = false;
    VQmlFrame *m_view = nullptr;
};
