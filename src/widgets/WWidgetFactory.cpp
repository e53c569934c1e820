#include "WWidgetFactory.h"

#include "KvrLogging.h"
#include "WDropSite.h"
#include "WWidget.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>

namespace {
struct KeywordFile
{
    const char *keyword;
    const char *file;
};

const KeywordFile KeywordTable[] = {
    {"bounds", "qrc:/qmlcontrol/QmlBounds.qml"},
    {"button", "qrc:/qmlcontrol/QmlButton.qml"},
    {"cmdbutton", "qrc:/qmlcontrol/QmlCmdButton.qml"},
    {"dialer", "qrc:/qmlcontrol/QmlDialer.qml"},
    {"droplist", "qrc:/qmlcontrol/QmlDroplist.qml"},
    {"image", "qrc:/qmlcontrol/QmlImage.qml"},
    {"frame", "qrc:/qmlcontrol/QmlFrame.qml"},
    {"label", "qrc:/qmlcontrol/QmlLabel.qml"},
    {"region", "qrc:/qmlcontrol/QmlRegion.qml"},
    {"panellink", "qrc:/qmlcontrol/QmlPanelLink.qml"},
    {"slider", "qrc:/qmlcontrol/QmlFader.qml"},
    {"textedit", "qrc:/qmlcontrol/QmlTextEdit.qml"},
    {"textlink", "qrc:/qmlcontrol/QmlTextLink.qml"},
    {"activeroomcombo", "qrc:/qmlcontrol/QmlActiveRoomCombo.qml"},
    {"roomselector", "qrc:/qmlcontrol/QmlRoomSelector.qml"},
    {"comboselector", "qrc:/qmlcontrol/QmlComboSelector.qml"},
    {"levelbutton", "qrc:/qmlcontrol/QmlLevelButtons.qml"},
    {"meter", "qrc:/qmlcontrol/QmlMeter.qml"},
    {"meterimage", "qrc:/qmlcontrol/QmlMeterImage.qml"},
};
} // namespace

WWidgetFactory::WWidgetFactory() = default;

WWidgetFactory::~WWidgetFactory()
{
    qDeleteAll(m_components);
}

QString WWidgetFactory::qmlFileFor(const QString &keyword)
{
    for (const KeywordFile &entry : KeywordTable) {
        if (keyword == QLatin1String(entry.keyword))
            return QLatin1String(entry.file);
    }
    return QString();
}

void WWidgetFactory::setParent(QObject *parent)
{
    m_parentItem = qobject_cast<QQuickItem *>(parent);
}

QQuickItem *WWidgetFactory::parentItem() const
{
    return m_parentItem;
}

void WWidgetFactory::setContext(QQmlContext *context)
{
    if (m_context != context) {
        qDeleteAll(m_components);
        m_components.clear();
    }
    m_context = context;
}

QQmlContext *WWidgetFactory::context() const
{
    return m_context;
}

void WWidgetFactory::setModel(MModel *model)
{
    m_model = model;
}

MModel *WWidgetFactory::model() const
{
    return m_model;
}

QQmlComponent *WWidgetFactory::componentFor(const QUrl &url)
{
    QQmlComponent *&component = m_components[url];
    if (!component)
        component = new QQmlComponent(m_context->engine(), url, QQmlComponent::PreferSynchronous);
    return component;
}

QQuickItem *WWidgetFactory::createItem(const QUrl &url)
{
    if (!m_context || !m_parentItem) {
        qCDebug(lcWidgets) << "Context and parent not ready for creation of quick item "
                           << "at path: " << url;
        return nullptr;
    }
    if (!m_context->engine()) {
        qCWarning(lcWidgets) << "QQmlEngine not available for loading of quick item at "
                             << "path: " << url;
        return nullptr;
    }
    QQmlComponent *component = componentFor(url);
    QObject *object = component->isError() ? nullptr : component->beginCreate(m_context);
    auto *item = qobject_cast<QQuickItem *>(object);
    if (item) {
        item->setParentItem(m_parentItem);
        item->setParent(m_parentItem);
        component->completeCreate();
    }
    if (item && !component->isError())
        return item;
    if (!component->isError()) {
        qCWarning(lcWidgets) << "Creation of QML component yielded null at path: " << url;
        if (object)
            component->completeCreate();
        delete object;
        return nullptr;
    }
    for (const QQmlError &error : component->errors())
        qCWarning(lcWidgets) << "Error loading QML at path: " << url << " Error message: " << error.toString();
    delete object;
    return nullptr;
}

WWidget *WWidgetFactory::createWidget(const QString &keyword)
{
    const QString file = qmlFileFor(keyword);
    return file.isEmpty() ? nullptr : createFrom(file);
}

WWidget *WWidgetFactory::createDropSite()
{
    return createFrom(QLatin1String(WDropSite::QmlFile));
}

WWidget *WWidgetFactory::createFrom(const QString &file)
{
    QQuickItem *item = createItem(QUrl(file));
    if (!item)
        return nullptr;
    // The widget object sits inside the QML file as the child named "widget".
    auto *widget = item->findChild<WWidget *>(QStringLiteral("widget"));
    if (!widget)
        return nullptr;
    widget->setItem(item);
    widget->initialize(item);
    return widget;
}
