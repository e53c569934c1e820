#include "CheckOnline.h"

#include "CheckDocument.h"
#include "CheckPanels.h"
#include "CheckProbe.h"
#include "HChassis.h"
#include "PKVDCommand.h"
#include "PProtocol.h"

#include <QEventLoop>
#include <QTimer>

namespace {
constexpr auto quoted = &CheckFinding::quoted;
} // namespace

CheckOnline::CheckOnline(CheckDocument *document, int timeLimitMs, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_timeLimitMs(timeLimitMs)
{
}

CheckOnline::~CheckOnline() = default;

QString CheckOnline::stateKeyword(DeviceState state)
{
    switch (state) {
    case DeviceState::NoAddress:
        return QStringLiteral("no-address");
    case DeviceState::Absent:
        return QStringLiteral("absent");
    case DeviceState::Silent:
        return QStringLiteral("silent");
    case DeviceState::Answers:
        return QStringLiteral("answers");
    }
    return QString();
}

void CheckOnline::collectQuestions(QList<CheckFinding> *findings)
{
    for (const CControl *control : m_document->controls()) {
        const TTransform *transform = control->transform();
        HNode *node = control->node();
        auto *chassis = node ? qobject_cast<HChassis *>(node->firstWithFlags(HNode::Device)) : nullptr;
        if (!transform || !chassis || !chassis->protocol()
            || chassis->protocol()->typeName() != QLatin1String("KVD"))
            continue;
        QString problem;
        const QString query = PKVDCommand::query(transform, &problem);
        if (query.isEmpty()) {
            if (!problem.isEmpty())
                findings->append(m_document->findingAt(control, CheckFinding::Unchecked, problem));
            continue;
        }
        for (Asker &asker : m_askers) {
            if (asker.probe->chassis() == chassis) {
                asker.controls[asker.probe->addQuestion(query)].append(control);
                break;
            }
        }
    }
}

QList<CheckFinding> CheckOnline::run()
{
    QList<CheckFinding> findings;
    for (HChassis *chassis : CheckPanels::devices(m_document->hardware())) {
        Asker asker;
        asker.probe = new CheckProbe(chassis, this);
        m_askers.append(asker);
    }
    collectQuestions(&findings);

    QEventLoop loop;
    const auto allFinished = [this] {
        for (const Asker &asker : std::as_const(m_askers)) {
            if (!asker.probe->isFinished())
                return false;
        }
        return true;
    };
    for (const Asker &asker : std::as_const(m_askers)) {
        connect(asker.probe, &CheckProbe::finished, &loop, [&] {
            if (allFinished())
                loop.quit();
        });
    }
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, [this] {
        for (const Asker &asker : std::as_const(m_askers))
            asker.probe->stop(QStringLiteral("the time limit was over"));
    });
    deadline.start(m_timeLimitMs);
    for (const Asker &asker : std::as_const(m_askers))
        asker.probe->start(qMin(ConnectWindowMs, m_timeLimitMs));
    if (!allFinished())
        loop.exec();

    m_devices.clear();
    for (const Asker &asker : std::as_const(m_askers))
        report(asker, &findings);
    return findings;
}

void CheckOnline::report(const Asker &asker, QList<CheckFinding> *findings)
{
    const CheckProbe *probe = asker.probe;
    const HChassis *chassis = probe->chassis();
    Device device;
    device.label = chassis->label();
    device.connection = chassis->connectionKey();
    device.address = probe->addressText();
    device.port = probe->port();
    device.note = probe->stopReason();
    for (const CheckProbe::Question &question : probe->questions()) {
        device.asked += question.outcome != CheckProbe::Outcome::NotAsked;
        device.answered += question.outcome == CheckProbe::Outcome::Answered;
        device.refused += question.outcome == CheckProbe::Outcome::Refused;
        device.unanswered += question.outcome == CheckProbe::Outcome::Unanswered;
        device.notAsked += question.outcome == CheckProbe::Outcome::NotAsked;
    }
    const QString where = QStringLiteral("%1 at %2:%3").arg(quoted(device.label), device.address).arg(device.port);
    CheckFinding deviceFinding;
    deviceFinding.device = device.label;
    deviceFinding.connection = device.connection;
    deviceFinding.details.insert(QStringLiteral("address"), device.address);
    deviceFinding.details.insert(QStringLiteral("port"), device.port);
    if (device.address.isEmpty() || device.port <= 0) {
        device.state = DeviceState::NoAddress;
    } else if (!probe->wasConnected()) {
        device.state = DeviceState::Absent;
        deviceFinding.kind = CheckFinding::DeviceAbsent;
        deviceFinding.message = QStringLiteral("device %1 takes no connection (parameters not asked: %2)")
                                    .arg(where)
                                    .arg(device.notAsked);
    } else if (device.asked > 0 && device.answered + device.refused == 0) {
        device.state = DeviceState::Silent;
        deviceFinding.kind = CheckFinding::DeviceSilent;
        deviceFinding.message = QStringLiteral("device %1 takes the connection but answers none of its %2 "
                                               "parameters asked")
                                    .arg(where)
                                    .arg(device.asked);
    } else {
        device.state = DeviceState::Answers;
    }
    if (device.state == DeviceState::Absent || device.state == DeviceState::Silent)
        findings->append(deviceFinding);
    m_devices.append(device);
    if (device.state != DeviceState::Answers)
        return;

    for (int i = 0; i < probe->questions().size(); ++i) {
        const CheckProbe::Question &question = probe->questions().at(i);
        CheckFinding::Kind kind;
        QString message;
        switch (question.outcome) {
        case CheckProbe::Outcome::Refused:
            kind = CheckFinding::Refused;
            message = QStringLiteral("device %1 refuses %2 (NAK)");
            break;
        case CheckProbe::Outcome::Unanswered:
            kind = CheckFinding::Unanswered;
            message = QStringLiteral("device %1 leaves %2 unanswered");
            break;
        case CheckProbe::Outcome::NotAsked:
            kind = CheckFinding::Unchecked;
            message = QStringLiteral("device %1 was not asked %2");
            break;
        default:
            continue;
        }
        message = message.arg(quoted(device.label), question.query);
        if (!question.note.isEmpty())
            message += QStringLiteral(": ") + question.note;
        for (const CControl *control : asker.controls.value(i)) {
            CheckFinding finding = m_document->findingAt(control, kind, message);
            finding.device = device.label;
            finding.connection = device.connection;
            finding.details.insert(QStringLiteral("query"), question.query);
            findings->append(finding);
        }
    }
}
