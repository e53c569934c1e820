#include "VQmlFrame.h"

#include "KvrLogging.h"
#include "MQmlInterface.h"
#include "WActiveCombo.h"
#include "WButton.h"
#include "WCmdButton.h"
#include "WComboSelection.h"
#include "WDialer.h"
#include "WDropList.h"
#include "WDropSite.h"
#include "WFrame.h"
#include "WImage.h"
#include "WLabel.h"
#include "WLevelButtons.h"
#include "WMeter.h"
#include "WMeterImage.h"
#include "WPanelLink.h"
#include "WRegion.h"
#include "WRoomSelection.h"
#include "WSlider.h"
#include "WTextEdit.h"
#include "WTextLink.h"

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
    qmlRegisterType<WCmdButton>("wcmdbutton", 1, 0, "WCmdButton");
    qmlRegisterType<WDialer>("wdialer", 1, 0, "WDialer");
    qmlRegisterType<WDropList>("wdroplist", 1, 0, "WDropList");
    qmlRegisterType<WDropSite>("wdropsite", 1, 0, "WDropSite");
    qmlRegisterType<WFrame>("wframe", 1, 0, "WFrame");
    qmlRegisterType<WImage>("wimage", 1, 0, "WImage");
    qmlRegisterType<WLabel>("wlabel", 1, 0, "WLabel");
    qmlRegisterType<WPanelLink>("wpanellink", 1, 0, "WPanelLink");
    qmlRegisterType<WRegion>("wregion", 1, 0, "WRegion");
    qmlRegisterType<WSlider>("wslider", 1, 0, "WSlider");
    qmlRegisterType<WTextEdit>("wtextedit", 1, 0, "WTextEdit");
    qmlRegisterType<WTextLink>("wtextlink", 1, 0, "WTextLink");
    qmlRegisterType<WActiveCombo>("wactivecombo", 1, 0, "WActiveCombo");
    qmlRegisterType<WComboSelection>("wcomboselection", 1, 0, "WComboSelection");
    qmlRegisterType<WRoomSelection>("wroomselection", 1, 0, "WRoomSelection");
    qmlRegisterType<WLevelButtons>("wlevelbuttons", 1, 0, "WLevelButtons");
    qmlRegisterType<WMeter>("wmeter", 1, 0, "WMeter");
    qmlRegisterType<WMeterImage>("wmeterimage", 1, 0, "WMeterImage");
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
    context->setContextProperty(QStringLiteral("MeterGaugeLocalValue"), &m_meterLocalization);
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
