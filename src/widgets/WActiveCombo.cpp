#include "WActiveCombo.h"

#include "HRCGroup.h"
#include "XmlWriter.h"

#include <QVariantMap>

namespace {
const QString ScaleKey = QStringLiteral("scale");
const QString EditKey = QStringLiteral("edit");
const QString AutoSizeKey = QStringLiteral("autosize");
const QString BorderWidthKey = QStringLiteral("borderwidth");
const QString SeparatorKey = QStringLiteral("separator");
const QString SideMarginsKey = QStringLiteral("sideMargins");

QVariantMap line(const QString &text, const QString &color)
{
    return {{QStringLiteral("text"), text}, {QStringLiteral("color"), color}};
}
} // namespace

WActiveCombo::WActiveCombo(QQuickItem *parent) : WWidget(parent) {}

bool WActiveCombo::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (name == ScaleKey)
        setItemProperty("textScale", value.trimmed().toDouble());
    else if (name == EditKey)
        m_edit = value;
    else if (name == AutoSizeKey)
        setItemProperty("autoSize", value.trimmed() == QLatin1String("true"));
    else if (name == BorderWidthKey)
        setItemProperty("borderWidth", value.trimmed().toDouble());
    else if (name == SeparatorKey)
        m_separator = value.trimmed();
    else if (name == SideMarginsKey) {
        m_sideMargins = value.trimmed();
        setItemProperty("sideMargins", value.trimmed().toDouble());
    } else
        return WWidget::processProperty(name, value);
    return true;
}

bool WActiveCombo::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(ScaleKey, QString::number(itemProperty("textScale").toDouble()));
    writer.writeElement(EditKey, m_edit.isEmpty() ? QStringLiteral("false") : m_edit);
    writer.writeElement(AutoSizeKey, itemProperty("autoSize").toBool() ? QStringLiteral("true")
                                                                        : QStringLiteral("false"));
    writer.writeElement(BorderWidthKey, QString::number(itemProperty("borderWidth").toDouble()));
    writer.writeElement(SeparatorKey, m_separator);
    writer.writeElement(SideMarginsKey, m_sideMargins);
    return true;
}

void WActiveCombo::setNode(HNode *node)
{
    detach();
    WWidget::setNode(node);
    m_group = HRCGroup::of(node);
    if (m_group) {
        connect(m_group, &HNode::updateComboColorList, this, &WActiveCombo::onUpdateComboColorList);
        connect(m_group, &HNode::queryResponseReady, this, &WActiveCombo::onUpdateComboColorList);
    }
    onUpdateComboColorList();
}

void WActiveCombo::detach()
{
    if (m_group)
        disconnect(m_group, nullptr, this, nullptr);
    m_group = nullptr;
}

void WActiveCombo::onUpdateComboColorList()
{
    QVariantList lines;
    const RCGroup state = m_group ? m_group->state() : RCGroup();
    const QString separator = m_separator.isEmpty() ? QStringLiteral(" ")
                                                    : QLatin1Char(' ') + m_separator + QLatin1Char(' ');
    for (const RCCombo &combo : state.combos()) {
        if (combo.size() < 2)
            continue;
        QStringList names;
        for (int room : combo.rooms())
            names.append(state.roomName(room));
        lines.append(line(names.join(separator), combo.color()));
    }
    if (lines.isEmpty() && itemProperty("editing").toBool())
        lines.append(line(tr("Room A %1 Room B").arg(m_separator), RCCombo::colorAt(0)));
    setItemProperty("combos", lines);
}

void WActiveCombo::changeDummyList()
{
    onUpdateComboColorList();
}
