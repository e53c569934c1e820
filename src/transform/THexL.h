#pragma once

#include "TIndexedList.h"

#include <array>

// An index into a table of up to 16 character codes, given in the owner's
// set text as hexadecimal numbers; the device carries the character.
//
// The device's answers are not kept: the reply accessors report that
// nothing is known, as "?" and the byte 255 (the value of an empty entry).
class THexL : public TIndexedList
{
    Q_OBJECT
public:
    using TIndexedList::replyValue;
    using TIndexedList::value;

    static constexpr int TableSize = 16;
    static constexpr unsigned char Empty = 255;

    explicit THexL(QObject *parent = nullptr);

    // Reads the set text field by field up to the first empty field or the
    // 16th entry; a field that is no hexadecimal number stores 0.
    void configure() override;
    // The table entry at the value index; 255 for an index past the table.
    void value(unsigned char &out) const override;
    void replyValue(unsigned char &out) const override;
    // One character with the entry's code; "?" for an index past the
    // entries read.
    QString valueText() const override;
    // The character goes out as one byte: only the printable ASCII codes
    // of the entries read can be sent.
    bool hasSendableValue() const override;
    QString replyText() const override;
    QString typeName() const override;

    int entryCount() const { return m_count; }

private:
    std::array<unsigned char, TableSize> m_table;
    int m_count = 0;
};
