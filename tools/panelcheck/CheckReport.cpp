#include "CheckReport.h"

#include "CheckDocument.h"
#include "CheckPanels.h"
#include "HChassis.h"
#include "IInterfaceFactory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

namespace {
constexpr auto quoted = &CheckFinding::quoted;

QString findingLine(const CheckFinding &finding)
{
    QString line = QStringLiteral("  ");
    if (!finding.control.isEmpty())
        line += QStringLiteral("%1 (id %2)").arg(quoted(finding.control)).arg(finding.controlId);
    if (!finding.widget.isEmpty())
        line += QStringLiteral(" %1").arg(finding.widget);
    if (!finding.control.isEmpty())
        line += QStringLiteral(": ");
    return line + finding.message + QStringLiteral(" [") + CheckFinding::keyword(finding.kind)
           + QStringLiteral("]\n");
}
} // namespace

CheckReport::CheckReport(const QString &file) : m_file(file) {}

void CheckReport::setUnreadable(const QString &reason)
{
    m_readable = false;
    m_error = reason;
}

void CheckReport::describe(CheckDocument *document)
{
    m_archive = document->archive() != nullptr;
    m_design = document->hasDesign();
    m_scenes = document->document()->childCount();
    for (const CComposite *panel : document->panels()) {
        ++m_panels;
        m_controls += panel->childCount();
        m_panelOrder.append(qMakePair(panel->parentComposite()->name(), panel->name()));
    }
    m_devices.clear();
    for (const HChassis *chassis : CheckPanels::devices(document->hardware())) {
        CheckOnline::Device device;
        device.label = chassis->label();
        device.connection = chassis->connectionKey();
        device.address = chassis->ipAddress().trimmed();
        device.port = IInterfaceFactory::portNumber(chassis->serialPort());
        m_devices.append(device);
    }
}

void CheckReport::setOnline(const QList<CheckOnline::Device> &devices)
{
    m_online = true;
    m_devices = devices;
}

int CheckReport::exitCode() const
{
    if (!m_readable)
        return 2;
    return m_findings.isEmpty() ? 0 : 1;
}

QString CheckReport::summaryLine() const
{
    if (m_findings.isEmpty())
        return QStringLiteral("clean: every control can work\n");
    QMap<QString, int> counts;
    for (const CheckFinding &finding : m_findings)
        ++counts[CheckFinding::keyword(finding.kind)];
    QStringList parts;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        parts << QStringLiteral("%1 %2").arg(it.value()).arg(it.key());
    return QStringLiteral("%1 finding%2 (%3): something will not work\n")
        .arg(m_findings.size())
        .arg(m_findings.size() == 1 ? QString() : QStringLiteral("s"))
        .arg(parts.join(QStringLiteral(", ")));
}

QString CheckReport::deviceLine(const CheckOnline::Device &device) const
{
    QString line = QStringLiteral("  %1 (%2) at %3:%4")
                       .arg(quoted(device.label), device.connection,
                            device.address.isEmpty() ? QStringLiteral("?") : device.address)
                       .arg(device.port);
    if (m_online) {
        line += QStringLiteral(": ") + CheckOnline::stateKeyword(device.state);
        if (device.state == CheckOnline::DeviceState::Answers || device.state == CheckOnline::DeviceState::Silent)
            line += QStringLiteral(" (%1 asked: %2 answered, %3 refused, %4 unanswered; %5 not asked)")
                        .arg(device.asked)
                        .arg(device.answered)
                        .arg(device.refused)
                        .arg(device.unanswered)
                        .arg(device.notAsked);
        if (!device.note.isEmpty())
            line += QStringLiteral(": ") + device.note;
    }
    return line + QLatin1Char('\n');
}

QString CheckReport::text() const
{
    QString out = QStringLiteral("kvrcheck: %1\n").arg(m_file);
    if (!m_readable)
        return out + QStringLiteral("cannot be read: %1\n").arg(m_error);
    out += QStringLiteral("%1 scenes, %2 panels, %3 controls, %4 devices%5\n")
               .arg(m_scenes)
               .arg(m_panels)
               .arg(m_controls)
               .arg(m_devices.size())
               .arg(m_design ? QString() : QStringLiteral(" (no design project)"));

    QString general;
    for (const CheckFinding &finding : m_findings) {
        if (finding.isDeviceFinding())
            general += findingLine(finding);
    }
    if (!general.isEmpty())
        out += QStringLiteral("\nFile and devices\n") + general;
    for (const auto &panel : m_panelOrder) {
        QString lines;
        for (const CheckFinding &finding : m_findings) {
            if (!finding.isDeviceFinding() && finding.scene == panel.first && finding.panel == panel.second)
                lines += findingLine(finding);
        }
        if (!lines.isEmpty())
            out += QStringLiteral("\n%1 / %2\n").arg(panel.first, panel.second) + lines;
    }
    if (!m_devices.isEmpty()) {
        out += m_online ? QStringLiteral("\nDevices online\n") : QStringLiteral("\nDevices\n");
        for (const CheckOnline::Device &device : m_devices)
            out += deviceLine(device);
    }
    return out + QLatin1Char('\n') + summaryLine();
}

QByteArray CheckReport::json() const
{
    QJsonObject root{{QStringLiteral("file"), m_file}, {QStringLiteral("readable"), m_readable}};
    if (!m_readable) {
        root.insert(QStringLiteral("error"), m_error);
        return QJsonDocument(root).toJson();
    }
    root.insert(QStringLiteral("archive"), m_archive);
    root.insert(QStringLiteral("design"), m_design);
    root.insert(QStringLiteral("online"), m_online);
    root.insert(QStringLiteral("scenes"), m_scenes);
    root.insert(QStringLiteral("panels"), m_panels);
    root.insert(QStringLiteral("controls"), m_controls);
    QJsonArray devices;
    for (const CheckOnline::Device &device : m_devices) {
        QJsonObject object{{QStringLiteral("label"), device.label},
                           {QStringLiteral("connection"), device.connection},
                           {QStringLiteral("address"), device.address},
                           {QStringLiteral("port"), device.port}};
        if (m_online) {
            object.insert(QStringLiteral("state"), CheckOnline::stateKeyword(device.state));
            object.insert(QStringLiteral("asked"), device.asked);
            object.insert(QStringLiteral("answered"), device.answered);
            object.insert(QStringLiteral("refused"), device.refused);
            object.insert(QStringLiteral("unanswered"), device.unanswered);
            object.insert(QStringLiteral("notAsked"), device.notAsked);
            if (!device.note.isEmpty())
                object.insert(QStringLiteral("note"), device.note);
        }
        devices.append(object);
    }
    root.insert(QStringLiteral("devices"), devices);
    QJsonArray findings;
    for (const CheckFinding &finding : m_findings)
        findings.append(finding.toJson());
    root.insert(QStringLiteral("findings"), findings);
    root.insert(QStringLiteral("clean"), m_findings.isEmpty());
    return QJsonDocument(root).toJson();
}
