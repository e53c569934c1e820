#include "HRCGroup.h"

#include "HProjectNode.h"
#include "HRCGroupInfo.h"
#include "HRCRoom.h"
#include "HRoot.h"
#include "HTreeItems.h"
#include "KvrLogging.h"
#include "XmlHandler.h"

#include <QTime>

HRCGroup::HRCGroup()
{
    setTitle(QStringLiteral("RCGroup"));
    setTypenum(QStringLiteral("0"));
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(AnswerTimeMs);
    connect(&m_answerTimer, &QTimer::timeout, this, [this] {
        // No answer in the whole period: none is coming.
        m_answerOwed = false;
        m_answerStale = false;
    });
}

HRCGroup::~HRCGroup()
{
    if (m_model)
        m_model->unregisterGroup(this);
}

HRCGroup *HRCGroup::of(HNode *node)
{
    if (auto *group = qobject_cast<HRCGroup *>(node))
        return group;
    auto *room = qobject_cast<HRCRoom *>(node);
    return room ? room->group() : nullptr;
}

QString HRCGroup::category() const
{
    return rcGroupsCategory();
}

QString HRCGroup::templateFolder() const
{
    return QLatin1String(HProjectNode::TemplateFolder);
}

QStandardItem *HRCGroup::findParentItem(QStandardItemModel *model, const QString &text) const
{
    return HTreeItems::find(model, text, root());
}

HComposite *HRCGroup::chooseParent(HComposite *mainChassis, HComposite *)
{
    return mainChassis;
}

void HRCGroup::parseProperty(const QXmlAttributes &atts)
{
    if (XmlHandler::attributeValue(QStringLiteral("name"), atts) == QLatin1String("comboCount")) {
        m_comboCount = qMax(0, XmlHandler::attributeValue(QStringLiteral("value"), atts).toInt());
        updateRegistration();
    } else {
        HComposite::parseProperty(atts);
    }
}

int HRCGroup::groupNumber() const
{
    bool ok = false;
    const int number = m_id.trimmed().toInt(&ok, 10);
    return ok && number > 0 ? number : 0;
}

HNode *HRCGroup::room(int roomNumber) const
{
    for (HNode *node : children()) {
        if (node->roomNumber() == roomNumber)
            return node;
    }
    return nullptr;
}

void HRCGroup::parseTarget(const QXmlAttributes &atts, bool)
{
    bool ok = false;
    const int number = XmlHandler::attributeValue(QStringLiteral("roomNumber"), atts).toInt(&ok);
    if (!ok || number < 1) {
        qCDebug(lcHardware).noquote() << "Room-combine group" << m_id
                                      << "ignores an assignment without a room number";
        return;
    }
    HNode *node = room(number);
    if (!node) {
        QString name = XmlHandler::attributeValue(QStringLiteral("roomName"), atts);
        if (name.isEmpty() || name == QLatin1String("None"))
            name = tr("Room %1").arg(number);
        auto *created = new HRCRoom;
        created->setRoomNumber(number);
        created->setLabel(name);
        created->setNodeID(XmlHandler::attributeValue(QStringLiteral("targetID"), atts).toInt());
        addNode(created);
        node = created;
        updateRegistration();
    }
    node->setFlag(Removable, false);
    node->setFlag(InDesign);
}

bool HRCGroup::finishLoading()
{
    const bool kept = HComposite::finishLoading();
    updateRegistration();
    return kept;
}

void HRCGroup::setParentNode(HNode *node)
{
    HComposite::setParentNode(node);
    updateRegistration();
}

void HRCGroup::buildModel(QStandardItemModel *model)
{
    HNode::buildModel(model);
    HComposite::buildModel(model);
}

QList<RoomInfo> HRCGroup::roomInfos() const
{
    QList<RoomInfo> rooms;
    for (HNode *node : children()) {
        if (qobject_cast<HRCRoom *>(node))
            rooms.append(RoomInfo(node->roomNumber(), node->label()));
    }
    return rooms;
}

void HRCGroup::updateRegistration()
{
    m_registered = false;
    model();
}

HRCGroupInfo *HRCGroup::model() const
{
    auto *tree = qobject_cast<HRoot *>(root());
    HRCGroupInfo *info = tree ? tree->rcGroupInfo() : nullptr;
    if (info != m_model) {
        if (m_model) {
            m_model->unregisterGroup(this);
            disconnect(m_model, nullptr, this, nullptr);
        }
        m_model = info;
        m_registered = false;
        if (info)
            connect(info, &HRCGroupInfo::combosChanged, const_cast<HRCGroup *>(this),
                    &HRCGroup::onCombosChanged);
    }
    if (m_model && !m_registered)
        m_registered = m_model->registerGroup(this, groupNumber(), m_comboCount, roomInfos());
    return m_registered ? m_model.data() : nullptr;
}

bool HRCGroup::isAwaitingReply() const
{
    return m_answerTimer.isActive();
}

QString HRCGroup::pollCommand()
{
    const int number = groupNumber();
    if (number <= 0)
        return QString();
    m_answerTimer.start();
    m_answerOwed = true;
    ++m_exchange;
    return QStringLiteral("GRC %1\r").arg(number);
}

void HRCGroup::takeReply(const QString &text)
{
    if (text == m_handledLine && m_exchange == m_handledExchange)
        return;
    m_handledLine = text;
    m_handledExchange = m_exchange;
    m_lastReply = text;
    qCDebug(lcHardware).noquote() << QTime::currentTime().toString(QStringLiteral("H:mm:ss.zzz"))
                                         + QStringLiteral(" GRC response: ") + text;
    const bool stale = m_answerStale;
    m_answerOwed = false;
    m_answerStale = false;
    if (stale) {
        qCDebug(lcHardware) << "The answer was asked for before the last change and is passed over";
    } else if (HRCGroupInfo *info = model()) {
        info->applyAnswer(text);
    }
    emit queryResponseReady();
}

QString HRCGroup::replyText() const
{
    return m_lastReply;
}

void HRCGroup::setSelectedCombo(int index)
{
    if (index == m_selectedCombo)
        return;
    m_selectedCombo = index;
    emit selectedComboChanged(index);
}

RCGroup HRCGroup::state() const
{
    HRCGroupInfo *info = model();
    return info ? info->group(groupNumber()) : RCGroup();
}

QString HRCGroup::roomColor(int roomNumber) const
{
    HRCGroupInfo *info = model();
    return info ? info->roomColor(groupNumber(), roomNumber) : RCCombo::noComboColor();
}

void HRCGroup::undoClick()
{
    HRCGroupInfo *info = model();
    if (!info || m_beforeClick.number() != groupNumber())
        return;
    info->restore(m_beforeClick);
    m_beforeClick = RCGroup();
}

void HRCGroup::onRoomControlClicked(int roomID)
{
    HRCGroupInfo *info = model();
    m_beforeClick = info ? info->group(groupNumber()) : RCGroup();
    const QString result = info ? info->click(groupNumber(), roomID, m_selectedCombo)
                                : RCGroup::FailurePrefix
                                      + tr("The room-combine group %1 has no live model.").arg(m_id);
    if (result.startsWith(RCGroup::FailurePrefix)) {
        emit showErrorDialog(result.mid(RCGroup::FailurePrefix.size()), roomID);
        return;
    }
    ++m_exchange;
    m_answerStale = m_answerOwed;
    emit updateRoomColor(info->roomColor(groupNumber(), roomID), roomID);
    emit sendMessage(result, roomID);
}

void HRCGroup::onCombosChanged(int group)
{
    if (group == groupNumber())
        emit updateComboColorList();
}
