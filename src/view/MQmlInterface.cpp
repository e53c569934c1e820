#include "MQmlInterface.h"

#include "KvrLogging.h"
#include "MModel.h"
#include "MProject.h"
#include "VModeManager.h"
#include "VQmlFrame.h"
#include "WWidget.h"

#include <QCoreApplication>
#include <QQuickItem>
#include <QVariantMap>

const char *const MQmlInterface::SourceUrl = "qrc:/qml/QmlInterface.qml";

MQmlInterface::MQmlInterface(QObject *parent) : QObject(parent)
{
    m_exitTimer.setSingleShot(true);
    m_exitTimer.setInterval(10);
    connect(&m_exitTimer, &QTimer::timeout, this, &MQmlInterface::onExitTimerTimeout);
}

MQmlInterface::~MQmlInterface() = default;

void MQmlInterface::setView(VQmlFrame *view)
{
    m_view = view;
}

void MQmlInterface::setSetupMenu(const QList<QPair<QString, QString>> &entries)
{
    m_setupMenu.clear();
    for (const auto &entry : entries)
        m_setupMenu << QVariantMap{{QStringLiteral("key"), entry.first}, {QStringLiteral("text"), entry.second}};
    emit setupMenuDataChanged();
}

MModel *MQmlInterface::model() const
{
    return m_model;
}

void MQmlInterface::setModel(MModel *model)
{
    m_model = model;
}

QString MQmlInterface::getExitPIN() const
{
    return MProject::exitPin();
}

void MQmlInterface::canvasResize()
{
    if (m_model)
        m_model->computeScales();
}

QString MQmlInterface::getVersionText() const
{
    return m_model ? m_model->versionText() : QString();
}

QString MQmlInterface::getFileVersionString() const
{
    return m_model ? m_model->fileVersion() : QString();
}

QString MQmlInterface::getProjectInfoString() const
{
    return m_model && m_model->project() ? m_model->project()->informationText() : QString();
}

QString MQmlInterface::getNetworkStatusString() const
{
    return m_model ? m_model->networkStatusText() : QString();
}

QString MQmlInterface::getMobileIPAddressString() const
{
    return m_model ? m_model->mobileAddressText() : QString();
}

QString MQmlInterface::getReceivePanelString() const
{
    return m_model ? m_model->receiveBoxText() : QString();
}

bool MQmlInterface::postCommand(const QString &target, const QString &data)
{
    if (!m_model)
        return false;
    if (target == QLatin1String("event")) {
        if (data == QLatin1String("leftarrow"))
            m_model->pageLeft();
        else if (data == QLatin1String("rightarrow"))
            m_model->pageRight();
        else
            return false;
    } else if (target == QLatin1String("scene")) {
        m_model->showSceneOrPanel(data);
    } else if (target == QLatin1String("statusbar")) {
        emit m_model->displayMessage(data);
    } else if (target == QLatin1String("system")) {
        m_model->setupMenuItem(data);
    } else {
        return false;
    }
    return true;
}

bool MQmlInterface::dropSite(const QString &text, const QString &data, QObject *site)
{
    auto *widget = qobject_cast<WWidget *>(site);
    return m_model && widget && m_model->dropOnSite(widget, text, data);
}

void MQmlInterface::setObject(const QString &name, QObject *object)
{
    if (name == QLatin1String("QmlView"))
        m_view = qobject_cast<VQmlFrame *>(object);
    else if (name == QLatin1String("QmlCanvas"))
        VModeManager::instance()->setRootItem(qobject_cast<QQuickItem *>(object));
    else if (name == QLatin1String("ModalObject"))
        VModeManager::instance()->setOpenModal(object);
}

int MQmlInterface::getAppFunction() const
{
    return 3;
}

QString MQmlInterface::getDesktopOrMobile() const
{
    return QStringLiteral("desktop");
}

void MQmlInterface::onExitTimerTimeout()
{
    QCoreApplication::exit(0);
}

void MQmlInterface::onReceiveModeDialogClosed()
{
    qCDebug(lcView) << "MQmlInterface has received the signal that the box has closed.";
    emit receiveDialogCanceled();
}

void MQmlInterface::exitApplication()
{
    // The devices go offline and the transfers end while the event loop
    // still runs to see them off.
    if (m_model)
        m_model->aboutToQuit();
    m_exitTimer.start();
}
