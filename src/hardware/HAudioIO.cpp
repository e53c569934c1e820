#include "HAudioIO.h"

#include "HCategories.h"
#include "HFamilyTables.h"

HAudioIO::HAudioIO(const QString &cardType, int direction)
    : HIoNode(cardType, direction)
{
    // The design software numbers its VoIP cards ("VOIP 2"); the module
    // tables know them as one type.
    if (m_cardType.startsWith(QLatin1String("VOIP")))
        m_cardType = QStringLiteral("VOIP");
}

const char *HAudioIO::categoryKey() const
{
    static const struct
    {
        const char *prefix;
        const char *key;
    } Categories[] = {
        {"Digit", HCategories::Digital}, {"PSTN", HCategories::Pstn},
        {"VoIP", HCategories::Voip},     {"USB", HCategories::Usb},
        {"Dante", HCategories::Dante},   {"Amp I/O", HCategories::Amp},
    };
    const auto row = HFamilyTables::module(templateFolder(), direction(), m_cardType);
    if (row) {
        for (const auto &category : Categories) {
            if (row->category.startsWith(QLatin1String(category.prefix)))
                return category.key;
        }
    }
    return HCategories::Analog;
}

QString HAudioIO::category() const
{
    return HCategories::text(categoryKey());
}

QString HAudioIO::templatePath() const
{
    const auto row = HFamilyTables::module(templateFolder(), direction(), m_cardType);
    return row ? familyTemplate(row->templateFile) : QString();
}

void HAudioIO::appendNodes(const QString &category, QList<HNode *> &list)
{
    const char *key = categoryKey();
    if (category == HCategories::text(key) || category == QLatin1String(key))
        list.append(this);
}
