#include "TTextList.h"

#include <limits>

TTextList::TTextList(QObject *parent) : TIndexedList(parent) {}

unsigned char TTextList::indexOf(const QString &text) const
{
    // Only the entries that a byte index can reach.
    const int reachable = qMin(int(m_entries.size()), std::numeric_limits<unsigned char>::max() + 1);
    for (int i = 0; i < reachable; ++i) {
        if (m_entries.at(i) == text)
            return static_cast<unsigned char>(i);
    }
    return 0;
}

QString TTextList::entryAt(unsigned char index) const
{
    return index < m_entries.size() ? m_entries.at(index) : QStringLiteral("?");
}

void TTextList::setValueText(const QString &text)
{
    m_valueIndex = indexOf(text);
}

void TTextList::setReplyText(const QString &text)
{
    m_replyIndex = indexOf(text);
    emit replyValueReady();
}

bool TTextList::hasSendableValue() const
{
    return m_valueIndex < m_entries.size();
}

QString TTextList::valueText() const
{
    return entryAt(m_valueIndex);
}

QString TTextList::replyText() const
{
    return entryAt(m_replyIndex);
}
