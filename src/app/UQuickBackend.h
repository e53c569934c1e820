#pragma once

#include <QString>

// Chooses how Qt Quick draws the scene, once, before the first window.
// Where OpenGL is itself only a software rasteriser (a virtual machine, a
// remote or virtual X display), bringing up Qt Quick's OpenGL pipeline costs
// several hundred milliseconds of start-up and draws these flat panels no
// better than Qt Quick's own software renderer, which is chosen there
// instead. A backend the user asked for (QT_QUICK_BACKEND, QSG_RHI_BACKEND)
// is left alone.
class UQuickBackend
{
public:
    // Call after the application object exists and before any window.
    static void chooseForThisMachine();

    // Whether an OpenGL renderer name is that of a software rasteriser.
    static bool isSoftwareRenderer(const QString &rendererName);
};
