#pragma once

// What the widget tests share: a QML engine with the bridge object and the
// registered widget types, a canvas item for the widgets' items, a factory
// on both, and a widget's settings written out as the panel file holds
// them.

#include "VQmlFrame.h"
#include "WWidget.h"
#include "WWidgetFactory.h"
#include "XmlWriter.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>

#include <memory>

namespace widgettest {

struct WidgetScene
{
    // False, with the reason in error, when the bridge object cannot be made.
    bool setUp(QString *error)
    {
        VQmlFrame::registerTypes();
        engine = std::make_unique<QQmlEngine>();
        // The widget files bind to the bridge object's colours and sizes.
        QQmlComponent bridge(engine.get(), QUrl(QStringLiteral("qrc:/qml/QmlInterface.qml")));
        intrf.reset(bridge.create());
        if (!intrf) {
            *error = bridge.errorString();
            return false;
        }
        engine->rootContext()->setContextProperty(QStringLiteral("intrf"), intrf.get());
        canvas = std::make_unique<QQuickItem>();
        factory.setParent(canvas.get());
        factory.setContext(engine->rootContext());
        return true;
    }

    // Torn down from the last: the items, then the factory's components,
    // then the engine they belong to.
    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QObject> intrf;
    WWidgetFactory factory;
    std::unique_ptr<QQuickItem> canvas;
};

inline QString written(WWidget *w)
{
    QString out;
    XmlWriter writer;
    writer.setString(&out);
    w->writeXml(writer);
    writer.flush();
    return out;
}

} // namespace widgettest
