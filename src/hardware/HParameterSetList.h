#pragma once

#include "HProjectNode.h"

#include <QStringList>

// A list of parameter sets of the project, shown as a panel. Its members are
// the sets that its assignment names.
class HParameterSetList : public HProjectNode
{
    Q_OBJECT
public:
    HParameterSetList();

    QString category() const override;
    // Each Assign of the list's assignment adds its "targetID" as a member.
    void parseTarget(const QXmlAttributes &atts, bool mergeMode) override;
    void clearText(QString &text) const override { text.clear(); }

    // Appends a member; reading the same design again adds none twice.
    void addMember(const QString &targetID, bool mergeMode = false);
    QStringList members() const { return m_members; }

private:
    QStringList m_members;
};
