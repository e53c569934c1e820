#pragma once

#include "HProjectNode.h"

// A control group of the project: one control for the same parameter of
// several blocks. Its type picks its template; a selector group also learns
// from its assignments which block it drives and the choices it offers.
class HGroup : public HProjectNode
{
    Q_OBJECT
public:
    // Ranges that would give more choices than this are taken for a broken
    // assignment.
    static constexpr qint64 MaxRangeItems = 4096;

    HGroup();

    QString category() const override;
    void parseProperty(const QXmlAttributes &atts) override;
    // The type number follows the group type.
    bool finishLoading() override;
    // One Assign element of the group's assignment (selector groups only).
    void parseTarget(const QXmlAttributes &atts, bool mergeMode) override;
    QStringList selectorItems() const override { return m_selectorItems; }

    // "0" for "Level", "1" for "Level + Mute", "2" for "Mute", "3" for
    // "Selector"; empty for any other type.
    static QString typenumOf(const QString &groupType);
    // "<value>><label> <value>" for every value from minimum to maximum in
    // steps of step; empty when step is not positive, maximum lies below
    // minimum or there would be more than MaxRangeItems entries.
    static QStringList rangeItems(const QString &label, qint64 minimum, qint64 maximum,
                                  qint64 step);

    QString groupType() const { return m_groupType; }
    int targetID() const { return m_targetID; }

private:
    // Appends item unless it is empty; reading the same design again adds
    // nothing twice.
    void addItem(const QString &item, bool mergeMode);

    QString m_groupType;
    int m_targetID = 0;
    bool m_hasTarget = false;
    QStringList m_selectorItems;
};
