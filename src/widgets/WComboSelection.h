#pragma once

#include "HRCGroup.h"
#include "WWidget.h"

#include <QPointer>
#include <QStringList>


// Chooses which combination of a room-combine group the taps on rooms edit:
// one swatch per combination slot, in the slot's colour.
class WComboSelection : public WWidget
{
    Q_OBJECT
    Q_PROPERTY(int selectedIndex READ selectedIndex NOTIFY selectedIndexChanged)
    Q_PROPERTY(QStringList comboColors READ comboColors NOTIFY comboColorsChanged)
    Q_PROPERTY(int count READ count NOTIFY comboColorsChanged)
    Q_PROPERTY(double sideMargins READ sideMargins NOTIFY sideMarginsChanged)
public:
    explicit WComboSelection(QQuickItem *parent = nullptr);

    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;
    void setNode(HNode *node) override;
    void detach() override;

    int selectedIndex() const;
    QStringList comboColors() const { return m_colors; }
    int count() const { return int(m_colors.size()); }
    double sideMargins() const { return m_sideMargins; }

public slots:
    void onUpdateComboColorList();
    QString getComboColor(int index) const;
    void selectorClicked(int index);

signals:
    void selectedIndexChanged();
    void comboColorsChanged();
    void sideMarginsChanged();

private:
    QPointer<HRCGroup> m_group;
    QStringList m_colors;
    double m_sideMargins = 8.0;
    QString m_edit;
};
