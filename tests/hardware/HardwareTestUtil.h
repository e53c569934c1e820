#pragma once

// Helpers of the hardware tests and of tests of what sits on nodes: design attributes and properties as the reader
// hands them over, and one-line forms.

#include "HNode.h"

#include <QStandardItem>
#include <QStringList>
#include <QTest>
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

inline void setAll(HNode *node, const Attributes &properties)
{
    for (const auto &[name, value] : properties)
        set(node, name, value);
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

// columns<QString, int>("name", "count") declares a data table's columns.
template<typename... Types, typename... Names>
void columns(Names... names)
{
    static_assert(sizeof...(Types) == sizeof...(Names), "one name per column");
    (QTest::addColumn<Types>(names), ...);
}
} // namespace hwtest
