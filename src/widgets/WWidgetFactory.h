#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QUrl>

class MModel;
class QObject;
class QQmlComponent;
class QQmlContext;
class QQuickItem;
class WWidget;

// Turns a widget keyword ("button", "slider", ...) into a live QML item with
// its widget object, created in the scene's context under the canvas item.
class WWidgetFactory
{
public:
    WWidgetFactory();
    virtual ~WWidgetFactory();

    // The QML file of a keyword; empty for keywords that make no widget.
    static QString qmlFileFor(const QString &keyword);

    virtual WWidget *createWidget(const QString &keyword);
    virtual void setParent(QObject *parent);
    virtual QQuickItem *parentItem() const;
    virtual void setContext(QQmlContext *context);
    virtual QQmlContext *context() const;
    virtual void setModel(MModel *model);
    virtual MModel *model() const;

    // The drop site of a template panel, which the keyword table does not
    // make; null as createWidget gives it.
    WWidget *createDropSite();

    // Creates the root item of a QML file under the parent item; null with
    // the reason on the debug output when that fails.
    QQuickItem *createItem(const QUrl &url);

private:
    QQmlComponent *componentFor(const QUrl &url);
    WWidget *createFrom(const QString &file);

    QPointer<QQuickItem> m_parentItem;
    QPointer<QQmlContext> m_context;
    MModel *m_model = nullptr;
    // Compiled QML files, kept so that a panel of many controls compiles
    // each widget file once.
    QHash<QUrl, QQmlComponent *> m_components;
};
