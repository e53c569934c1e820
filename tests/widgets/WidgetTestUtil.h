#pragma once

// A real offscreen QML scene for widget tests: an engine with the bridge
// object, a window whose content item is the canvas, and a widget factory
// that creates the widgets' QML files in it. Also a protocol that records
// what widgets hand it.

#include "CAttributes.h"
#include "PProtocol.h"
#include "TTransform.h"
#include "VQmlFrame.h"
#include "WWidget.h"
#include "WWidgetFactory.h"
#include "XmlWriter.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

#include <memory>

namespace widgettest {

// Records what a widget sends and asks for; it takes every value.
class RecordingProtocol : public PProtocol
{
public:
    bool sendValue(TTransform *transform) override
    {
        sent << transform->valueText();
        return true;
    }
    void queryNow(TTransform *) override { ++queries; }

    QStringList sent;
    int queries = 0;
};

struct WidgetScene
{
    QQmlEngine engine;
    std::unique_ptr<QObject> intrf;
    QQuickWindow window;
    WWidgetFactory factory;

    // False when the bridge object cannot be made.
    bool setUp(const QSize &size = QSize(600, 700))
    {
        VQmlFrame::registerTypes();
        QQmlComponent bridge(&engine, QUrl(QStringLiteral("qrc:/qml/QmlInterface.qml")));
        intrf.reset(bridge.create());
        if (!intrf)
            return false;
        engine.rootContext()->setContextProperty(QStringLiteral("intrf"), intrf.get());
        window.resize(size);
        window.setColor(QColor(QStringLiteral("#262626")));
        factory.setParent(window.contentItem());
        factory.setContext(engine.rootContext());
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    template <typename W>
    W *create(const QString &keyword, const QList<QPair<QString, QString>> &settings = {})
    {
        auto *w = qobject_cast<W *>(factory.createWidget(keyword));
        if (!w)
            return nullptr;
        w->setType(keyword);
        for (const auto &setting : settings)
            w->processProperty(setting.first, setting.second);
        return w;
    }

    // A real mouse click at the middle of an item.
    void click(QQuickItem *item)
    {
        // Rendering lays out what was created or changed since the last frame.
        window.grabWindow();
        const QPoint at = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, at);
    }

    QImage grab() { return window.grabWindow(); }
};

// The visual descendant of root with the object name (Repeater items are
// visual children only).
inline QQuickItem *findItem(QQuickItem *root, const QString &name)
{
    if (!root)
        return nullptr;
    for (QQuickItem *child : root->childItems()) {
        if (child->objectName() == name)
            return child;
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

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
