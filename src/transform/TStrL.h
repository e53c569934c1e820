#pragma once

#include "TTextList.h"

// An index into eight text slots filled from the owner's set text; the
// device carries the slot's text.
class TStrL : public TTextList
{
    Q_OBJECT
public:
    static constexpr int SlotCount = 8;

    explicit TStrL(QObject *parent = nullptr);

    // Fills the slots in order from the fields of the set text, up to the
    // first empty field; slots left over stay empty and still take part in
    // the search for a text.
    void configure() override;
    QString typeName() const override;
};
