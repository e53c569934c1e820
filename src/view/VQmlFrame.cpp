#include "VQmlFrame.h"

#include "KvrLogging.h"
#include "MQmlInterface.h"
#include "WActiveCombo.h"
#include "WButton.h"
#include "WComboSelection.h"
#include "WDropList.h"
#include "WFrame.h"
#include "WImage.h"
#include "WLabel.h"
#include "WRegion.h"
#include "WRoomSelection.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QScreen>
#include <QtQml>

VQmlFrame::VQmlFrame(QWindow *parent) : QQuickView(parent)
{
    setResizeMode(QQuickView::SizeRootObjectToView);
    m_messageDialog.setSource(QUrl(QLatin1String(DQmlMessageDialog::MessageDialogUrl)));
}

VQmlFrame::~VQmlFrame()
{
    // The scene refers to the bridge object: tear the scene down first.
    setSource(QUrl());
    delete m_interface;
    delete m_interfaceComponent;
}

void VQmlFrame::registerTypes()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    qmlRegisterType<MQmlInterface>("mqmlinterface", 1, 0, "MQmlInterface");
    qmlRegisterType<WWidget>("wwidget", 1, 0, "WWidget");
    qmlRegisterType<WButton>("wbutton", 1, 0, "WButton");
    qmlRegisterType<WDropList>("wdroplist", 1, 0, "WDropList");
    qmlRegisterType<WFrame>("wframe", 1, 0, "WFrame");
    qmlRegisterType<WImage>("wimage", 1, 0, "WImage");
    qmlRegisterType<WLabel>("wlabel", 1, 0, "WLabel");
    qmlRegisterType<WRegion>("wregion", 1, 0, "WRegion");
    qmlRegisterType<WActiveCombo>("wactivecombo", 1, 0, "WActiveCombo");
    qmlRegisterType<WComboSelection>("wcomboselection", 1, 0, "WComboSelection");
    qmlRegisterType<WRoomSelection>("wroomselection", 1, 0, "WRoomSelection");
}

bool VQmlFrame::registerTypesAndSetup()
{
    QQmlEngine *qmlEngine = engine();
    if (!qmlEngine)
        return false;
    registerTypes();

    m_interfaceComponent = new QQmlComponent(qmlEngine, QUrl(QLatin1String(MQmlInterface::SourceUrl)));
    m_interface = qobject_cast<MQmlInterface *>(m_interfaceComponent->create(qmlEngine->rootContext()));
    if (!m_interface) {
        qCWarning(lcView) << "Cannot create the QML interface object:" << m_interfaceComponent->errorString();
        return false;
    }
    m_interface->setView(this);
    QQmlContext *context = qmlEngine->rootContext();
    context->setContextProperty(QStringLiteral("intrf"), m_interface);
    context->setContextProperty(QStringLiteral("MsgBoxController"), &m_messageDialog);
    m_messageDialog.setContext(context);
    return true;
}

qreal VQmlFrame::pixelsPerInch() const
{
    const QScreen *s = screen();
    return s ? s->logicalDotsPerInch() : 72.0;
}

void VQmlFrame::setSetupMenuEntries(const QList<QPair<QString, QString>> &entries)
{
    if (m_interface)
        m_interface->setSetupMenu(entries);
}
