#include "MSetupMenu.h"

#include "DQmlMessageDialog.h"
#include "HChassis.h"
#include "HRoot.h"
#include "IInterface.h"
#include "KvrLogging.h"
#include "MModel.h"
#include "MProject.h"
#include "MQmlInterface.h"
#include "MTransfer.h"
#include "VQmlFrame.h"

#include <QNetworkInterface>

void MSetupMenu::choose(const QString &key)
{
    if (key == QLatin1String("IP Address"))
        showMessage(tr("IP Address"), tr("Mobile IP Address:\n\n") + mobileAddressText());
    else if (key == QLatin1String("Network Status"))
        showMessage(tr("Network Status"), networkStatusText());
    else if (key == QLatin1String("Project Information"))
        showMessage(tr("Project Information"), m_model->project() ? m_model->project()->informationText() : QString());
    else if (key == QLatin1String("About"))
        showMessage(tr("About Korvel Remote admin"), versionText(), DQmlMessageDialog::AboutDialogUrl);
    else if (key == QLatin1String("Receive"))
        m_model->receivePanel();
    else if (key == QLatin1String("Exit"))
        exit();
    else
        qCDebug(lcApp) << "Unknown setup menu entry" << key;
}

QString MSetupMenu::versionText()
{
    return tr("Version %1").arg(QLatin1String(MModel::VersionNumber)) + QStringLiteral("\n\n")
           + tr("Korvel Remote admin shows and operates the control panels of Korvel installed "
                "sound systems. \u00A9 Halvern Audio.");
}

QString MSetupMenu::mobileAddressText()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    if (interfaces.isEmpty())
        return tr("No network interfaces found.");
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
            || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback()
                && !address.isLinkLocal())
                return address.toString();
        }
    }
    return tr("No network connection detected.");
}

QString MSetupMenu::networkStatusText() const
{
    QString report;
    QList<HNode *> devices;
    if (HRoot *root = m_model->hardwareRoot())
        root->collectByCategory(QStringLiteral("Chassis"), devices);
    for (HNode *device : std::as_const(devices)) {
        const auto *chassis = qobject_cast<const HChassis *>(device);
        // The model, not the title: "ZMP-30 (PQX hall)" is a ZMP-30.
        if (chassis && chassis->modelTitle().contains(QLatin1String("PQX"))) {
            qCDebug(lcApp) << "Skipping reporting on unsupported chassis: " << device->label();
            continue;
        }
        const IInterface *interface = chassis ? chassis->interface() : nullptr;
        report += device->label() + (interface ? interface->statusText() : tr(" - Offline - Idle"))
                  + QStringLiteral("\n\n");
    }
    return report.isEmpty() ? tr("No network information available.") : report;
}

QString MSetupMenu::receiveBoxText() const
{
    return tr("Mobile IP Address:\n\n") + mobileAddressText()
           + tr("\n\nWaiting for a control panel on port %1...").arg(m_model->transfer()->port());
}

void MSetupMenu::showMessage(const QString &title, const QString &text, const char *dialogUrl) const
{
    VQmlFrame *view = m_model->qmlView();
    if (!view)
        return;
    DQmlMessageDialog *dialog = view->messageDialog();
    dialog->setSource(QUrl(QLatin1String(dialogUrl ? dialogUrl : DQmlMessageDialog::MessageDialogUrl)));
    dialog->setTitle(title);
    dialog->setText(text);
    dialog->setButtonText(tr("OK"));
    dialog->DoModal();
}

void MSetupMenu::exit() const
{
    MQmlInterface *qml = m_model->qmlInterface();
    if (!qml)
        return;
    // Leaving ends the transfers and takes the devices offline first (the
    // bridge object does it for the PIN dialog too).
    if (!MProject::exitPin().isEmpty())
        emit qml->showExitPasscodeDialog();
    else
        qml->exitApplication();
}
