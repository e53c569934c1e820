#include "WRoomSelection.h"

#include "HRCGroup.h"
#include "HRCRoom.h"
#include "KvrLogging.h"
#include "MModel.h"
#include "RCCombo.h"
#include "WDelegate.h"
#include "WWidgetFactory.h"
#include "XmlWriter.h"

namespace {
const QString ScaleKey = QStringLiteral("scale");
const QString EditKey = QStringLiteral("edit");
} // namespace

WRoomSelection::WRoomSelection(QQuickItem *parent) : WPolygon(parent) {}

bool WRoomSelection::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (name == ScaleKey)
        m_scale = value;
    else if (name == EditKey)
        m_edit = value;
    else
        return WPolygon::processProperty(name, value);
    return true;
}

bool WRoomSelection::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(ScaleKey, m_scale.isEmpty() ? QStringLiteral("1") : m_scale);
    writer.writeElement(EditKey, m_edit.isEmpty() ? QStringLiteral("false") : m_edit);
    writePolygonKeys(writer);
    return true;
}

void WRoomSelection::setNode(HNode *node)
{
    detach();
    WPolygon::setNode(node);
    m_room = qobject_cast<HRCRoom *>(node);
    if (node && !m_room)
        qCDebug(lcWidgets).noquote() << "A room selector is bound to" << node->label()
                                     << ", which is no room; it selects nothing";
    m_group = m_room ? m_room->group() : nullptr;
    if (m_room) {
        connect(m_room, &HNode::queryResponseReady, this, &WRoomSelection::onQueryResponseReady);
        connect(m_room, &HNode::updateComboColorList, this, &WRoomSelection::onQueryResponseReady);
        connect(m_room, &HNode::updateRoomColor, this, &WRoomSelection::onUpdateRoomColor);
        connect(m_room, &HNode::sendMessage, this,
                [this](const QString &message, int) { onSendMessage(message); });
        connect(m_room, &HNode::showErrorDialog, this,
                [this](const QString &message, int) { onShowErrorDialog(message); });
    }
    if (m_group)
        connect(m_group, &HRCGroup::selectedComboChanged, this, &WRoomSelection::onQueryResponseReady);
    showRoom();
}

void WRoomSelection::detach()
{
    if (m_room)
        disconnect(m_room, nullptr, this, nullptr);
    if (m_group)
        disconnect(m_group, nullptr, this, nullptr);
    m_room = nullptr;
    m_group = nullptr;
}

void WRoomSelection::showRoom()
{
    setItemProperty("text", m_room ? m_room->label() : QString());
    setItemProperty("hasRoom", bool(m_room));
    onQueryResponseReady();
}

void WRoomSelection::onQueryResponseReady()
{
    const RCGroup state = m_group ? m_group->state() : RCGroup();
    const int number = m_room ? m_room->roomNumber() : 0;
    const int slot = state.comboOf(number);
    setItemProperty("roomColor", QColor::fromString(slot >= 0 ? state.combos().at(slot).color()
                                                              : RCCombo::noComboColor()));
    const bool selected = m_group && slot >= 0 && slot == m_group->selectedCombo();
    if (selected != m_selected) {
        m_selected = selected;
        emit isSelectedChanged();
    }
}

void WRoomSelection::onUpdateRoomColor(const QString &color, int roomID)
{
    if (m_room && roomID == m_room->roomNumber())
        setItemProperty("roomColor", QColor::fromString(color));
}

bool WRoomSelection::outputPressed(double x, double y)
{
    if (!WPolygon::outputPressed(x, y))
        return false;
    if (m_room) {
        m_clicking = true;
        m_room->click();
        m_clicking = false;
    }
    return true;
}

void WRoomSelection::onSendMessage(const QString &message)
{
    // Every widget of the room hears the command; the one tapped sends it.
    if (!m_clicking)
        return;
    if (mayOutput()) {
        transform()->setValueText(message);
        if (sendTransform())
            return;
    }
    qCDebug(lcWidgets) << "The room-combine command could not be sent; the room keeps its combination";
    if (m_group)
        m_group->undoClick();
}

void WRoomSelection::onShowErrorDialog(const QString &message)
{
    if (!m_clicking)
        return;
    WWidgetFactory *factory = WDelegate::instance()->factory();
    if (MModel *model = factory ? factory->model() : nullptr)
        emit model->warning(tr("Room combining"), message);
    else
        qCWarning(lcWidgets).noquote() << "Room combining:" << message;
}

void WRoomSelection::setSelectedOpacity(double opacity)
{
    if (qFuzzyCompare(opacity, m_selectedOpacity))
        return;
    m_selectedOpacity = opacity;
    emit selectedOpacityChanged();
}

void WRoomSelection::setUnselectedOpacity(double opacity)
{
    if (qFuzzyCompare(opacity, m_unselectedOpacity))
        return;
    m_unselectedOpacity = opacity;
    emit unselectedOpacityChanged();
}
