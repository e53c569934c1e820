#pragma once

// The program's scene as the benchmarks that open an archive need it: the
// QML view with its desktop and the application model driving it.

#include "CCanvas.h"
#include "MModel.h"
#include "VQmlFrame.h"

#include <memory>

namespace bench {

struct Scene
{
    VQmlFrame view;
    CCanvas canvas;
    // Made once the view and the desktop are set up, and gone before them.
    std::unique_ptr<MModel> model;

    Scene()
    {
        view.registerTypesAndSetup();
        canvas.loadDesktop(&view);
        model = std::make_unique<MModel>();
        model->setCanvas(&canvas);
        model->setQmlView(&view);
        model->initialize();
    }
};

} // namespace bench
