#include "WComboSelection.h"

#include "HRCGroup.h"
#include "RCCombo.h"
#include "XmlWriter.h"

namespace {
const QString SideMarginsKey = QStringLiteral("sideMargins");
const QString EditKey = QStringLiteral("edit");
} // namespace

WComboSelection::WComboSelection(QQuickItem *parent) : WWidget(parent) {}

bool WComboSelection::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (name == SideMarginsKey) {
        m_sideMargins = qMax(0.0, value.trimmed().toDouble());
        emit sideMarginsChanged();
    } else if (name == EditKey) {
        m_edit = value;
    } else {
        return WWidget::processProperty(name, value);
    }
    return true;
}

bool WComboSelection::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(EditKey, m_edit.isEmpty() ? QStringLiteral("false") : m_edit);
    writer.writeElement(SideMarginsKey, QString::number(m_sideMargins));
    return true;
}

void WComboSelection::setNode(HNode *node)
{
    detach();
    WWidget::setNode(node);
    m_group = HRCGroup::of(node);
    if (m_group) {
        connect(m_group, &HNode::updateComboColorList, this, &WComboSelection::onUpdateComboColorList);
        connect(m_group, &HRCGroup::selectedComboChanged, this, &WComboSelection::selectedIndexChanged);
    }
    onUpdateComboColorList();
    emit selectedIndexChanged();
}

void WComboSelection::detach()
{
    if (m_group)
        disconnect(m_group, nullptr, this, nullptr);
    m_group = nullptr;
}

int WComboSelection::selectedIndex() const
{
    return m_group ? m_group->selectedCombo() : 0;
}

void WComboSelection::onUpdateComboColorList()
{
    QStringList colors;
    const RCGroup state = m_group ? m_group->state() : RCGroup();
    for (const RCCombo &combo : state.combos())
        colors.append(combo.color());
    if (colors == m_colors)
        return;
    m_colors = colors;
    emit comboColorsChanged();
}

QString WComboSelection::getComboColor(int index) const
{
    return index >= 0 && index < m_colors.size() ? m_colors.at(index) : RCCombo::noComboColor();
}

void WComboSelection::selectorClicked(int index)
{
    if (m_group && index >= 0 && index < count())
        m_group->setSelectedCombo(index);
}
