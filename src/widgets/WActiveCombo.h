#pragma once

#include "HRCGroup.h"
#include "WWidget.h"

#include <QPointer>


// Lists the combinations of a room-combine group that are in effect: one
// line per combination of two or more rooms, with the rooms' names and the
// combination's colour. The item's "combos" holds the lines, each with
// "text" and "color".
class WActiveCombo : public WWidget
{
    Q_OBJECT
public:
    explicit WActiveCombo(QQuickItem *parent = nullptr);

    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;
    void setNode(HNode *node) override;
    void detach() override;

    // QML, when the edit mode changes: while the panel is edited and no
    // combination is in effect, a sample line shows where the list is.
    Q_INVOKABLE void changeDummyList();

public slots:
    void onUpdateComboColorList();

private:
    QPointer<HRCGroup> m_group;
    QString m_separator = QStringLiteral("+");
    QString m_edit;
    QString m_sideMargins = QStringLiteral("8");
};
