#pragma once

// Small helpers shared by the hardware tests: design attributes as the
// reader hands them over, setting one design property of a node, and the
// tree below a model item written out on one line.

#include "HNode.h"

#include <QStandardItem>
#include <QStringList>
#include <QXmlAttributes>

namespace hwtest {

using Attributes = QList<QPair<QString, QString>>;

inline QXmlAttributes attributes(const Attributes &pairs)
{
    QXmlAttributes atts;
    for (const auto &pair : pairs)
        atts.append(pair.first, QString(), pair.first, pair.second);
    return atts;
}

inline void set(HNode *node, const QString &name, const QString &value)
{
    node->parseProperty(attributes({{QStringLiteral("name"), name}, {QStringLiteral("value"), value}}));
}

// The subtree below item as "text" or "text(child, child)".
inline QString outline(const QStandardItem *item)
{
    QStringList children;
    for (int r = 0; r < item->rowCount(); ++r)
        children << outline(item->child(r));
    return children.isEmpty() ? item->text()
                              : item->text() + QLatin1Char('(') + children.join(QStringLiteral(", ")) + QLatin1Char(')');
}

} // namespace hwtest
