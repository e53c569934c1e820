#include "RCCombo.h"

const QStringList &RCCombo::colors()
{
    static const QStringList table = {QStringLiteral("crimson"), QStringLiteral("orange"),
                                      QStringLiteral("yellow"),  QStringLiteral("lime"),
                                      QStringLiteral("skyblue"), QStringLiteral("cyan"),
                                      QStringLiteral("orchid"),  QStringLiteral("sienna")};
    return table;
}

QString RCCombo::colorAt(int index)
{
    if (index < 0)
        return noComboColor();
    return colors().at(index % colors().size());
}

QString RCCombo::noComboColor()
{
    return QStringLiteral("lightgray");
}

QString RCCombo::bracketText() const
{
    QStringList numbers;
    numbers.reserve(m_rooms.size());
    for (int room : m_rooms)
        numbers.append(QString::number(room));
    return QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']');
}
