#include "MQmlInterface.h"

#include "KvrLogging.h"
#include "VModeManager.h"
#include "VQmlFrame.h"

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
    m_exitTimer.start();
}
