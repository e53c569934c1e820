#pragma once

// A model driving a desktop scene the way the main window sets them up,
// for the tests that work the model without the window.

#include "CCanvas.h"
#include "MModel.h"
#include "VQmlFrame.h"

#include <QStandardPaths>

struct ModelScene
{
    VQmlFrame *view = nullptr;
    CCanvas canvas;
    MModel *model = nullptr;

    // False when the scene could not be loaded.
    bool setUp()
    {
        QStandardPaths::setTestModeEnabled(true);
        view = new VQmlFrame;
        if (!view->registerTypesAndSetup() || !canvas.loadDesktop(view))
            return false;
        model = new MModel;
        model->setCanvas(&canvas);
        model->setQmlView(view);
        model->initialize();
        return true;
    }

    // The model points into the view's items, so it goes first.
    ~ModelScene()
    {
        delete model;
        delete view;
    }
};
