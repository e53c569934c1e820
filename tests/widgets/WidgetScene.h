#pragma once

// The widget tests' scene: a QML engine with the context the widget files read, an offscreen window whose content item
// is the canvas, and controls made the way a panel file makes them.

#include "../XmlTestUtil.h"
#include "CControl.h"
#include "HNode.h"
#include "MeterGaugeLocalization.h"
#include "PProtocol.h"
#include "TTransform.h"
#include "VQmlFrame.h"
#include "WWidget.h"
#include "WWidgetFactory.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

#include <memory>

namespace widgettest {

constexpr int Timeout = 5000;

// A protocol that takes every value (or refuses them all) and counts the reads it is asked for.
class RecordingProtocol : public PProtocol
{
public:
    bool sendValue(TTransform *transform) override
    {
        (accept ? sent : refused) << transform->valueText();
        return accept;
    }
    void queryNow(TTransform *, int) override { ++queries; }

    QStringList sent, refused;
    bool accept = true;
    int queries = 0;
};

// The middle of an item, in the coordinates of its window.
inline QPoint centreOf(const QQuickItem *item)
{
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

// A widget made by the factory alone, on node, with settings (key, value, ...) as a file gives them.
template <typename W>
W *makeWidget(WWidgetFactory *factory, const QString &keyword, const QStringList &settings = {}, HNode *node = nullptr)
{
    auto *w = qobject_cast<W *>(factory->createWidget(keyword));
    if (!w)
        return nullptr;
    w->setType(keyword);
    w->setNode(node);
    for (int i = 0; i + 1 < settings.size(); i += 2)
        w->processProperty(settings.at(i), settings.at(i + 1));
    return w;
}

class WidgetScene
{
public:
    bool setUp()
    {
        VQmlFrame::registerTypes();
        QQmlComponent bridge(&engine, QUrl("qrc:/qml/QmlInterface.qml"));
        intrf.reset(bridge.create());
        if (!intrf) {
            qWarning() << bridge.errorString();
            return false;
        }
        engine.rootContext()->setContextProperty("intrf", intrf.get());
        engine.rootContext()->setContextProperty("MeterGaugeLocalValue", &gauge);
        window.resize(400, 400);
        factory.setParent(window.contentItem());
        factory.setContext(engine.rootContext());
        return true;
    }

    bool show(const QSize &size)
    {
        window.resize(size);
        window.setColor(QColor(QStringLiteral("#262626")));
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    template <typename W>
    W *create(const QString &keyword, const QStringList &settings = {}, HNode *node = nullptr)
    {
        return makeWidget<W>(&factory, keyword, settings, node);
    }

    // A real mouse click at the middle of an item, once rendering laid it out.
    void click(QQuickItem *item)
    {
        window.grabWindow();
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, centreOf(item));
    }

    QQmlEngine engine;
    std::unique_ptr<QObject> intrf;
    MeterGaugeLocalization gauge;
    QQuickWindow window;
    WWidgetFactory factory;
};

// The visual descendant of root with the object name (Repeater items are visual children only).
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

template <typename W>
W *widgetOf(const CControl *control)
{
    for (WWidget *w : control ? control->widgets() : QList<WWidget *>()) {
        if (auto *found = qobject_cast<W *>(w))
            return found;
    }
    return nullptr;
}

// One widget's record: its element and its settings (key, value, ...).
struct Record { QString element; QStringList settings; };

// A control as a panel file gives it, bound to node and activated, with its widgets made by the factory.
class PanelControl
{
public:
    PanelControl(WWidgetFactory *factory, HNode *node, const QString &name, const QString &type,
                 const QList<Record> &records, const QStringList &attributes,
                 const QString &attributeElement = QStringLiteral("range"))
        : control(name, type)
    {
        control.setNode(node);
        for (const Record &record : records) {
            control.beginWidgetRecord(record.element);
            for (int i = 0; i + 1 < record.settings.size(); i += 2)
                control.addWidgetSetting(record.settings.at(i), record.settings.at(i + 1));
        }
        control.beginAttributeRecord(attributeElement);
        for (int i = 0; i + 1 < attributes.size(); i += 2)
            control.addAttributeSetting(attributes.at(i), attributes.at(i + 1));
        control.activate(&control);
        control.createWidgets(factory);
    }

    template <typename W>
    W *widget() const { return widgetOf<W>(&control); }

    CControl control;
};

// The attributes of a level in dB, as the gain templates give them.
inline QStringList levelAttributes(const QString &minimum = "-60", const QString &maximum = "12",
                                   const QString &step = "0.5", const QString &units = "dB")
{
    return {"index1", "1", "struct", "0", "minLimit", "-60", "maxLimit", "12", "minimum", minimum,
            "maximum", maximum, "step", step, "units", units, "format", "nn.n", "transform", "strV"};
}

// A user's move of the knob: QML sets the position while in its user mode.
inline void userMoves(WWidget *w, int position)
{
    QMetaObject::invokeMethod(w->item(), "userMoves", Q_ARG(QVariant, position));
}
inline int shown(const WWidget *w) { return w->itemProperty("value").toInt(); }

inline QString written(WWidget *w) { return writtenXml(*w); }

} // namespace widgettest
