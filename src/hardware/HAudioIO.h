#pragma once

#include "HIoNode.h"

// An I/O card of a device, or a group of its channels (analog, digital,
// telephony, USB or amplifier I/O). Its card type finds its row in the
// module table of its device's family, which names the card's template and
// the folder the tree shows it in.
class HAudioIO : public HIoNode
{
    Q_OBJECT
public:
    HAudioIO(const QString &cardType, int direction);

    // The category of the card's module-table row; "Analog I/O" for a card
    // without one.
    QString category() const override;
    // The template of the card's module-table row; empty for a card type
    // that the table does not list, which keeps the card out of the tree.
    QString templatePath() const override;
    // A card answers both its category and the category's untranslated text.
    void appendNodes(const QString &category, QList<HNode *> &list) override;

private:
    const char *categoryKey() const;
};
