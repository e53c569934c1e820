#include "TIndexedList.h"

#include "KvrLogging.h"

#include <limits>

TIndexedList::TIndexedList(QObject *parent) : TTransform(parent) {}

void TIndexedList::setValue(unsigned char index)
{
    m_valueIndex = index;
}

void TIndexedList::setValue(int index)
{
    if (index < 0 || index > std::numeric_limits<unsigned char>::max()) {
        qCDebug(lcTransform) << typeName() << "- index out of range, ignored:" << index;
        return;
    }
    setValue(static_cast<unsigned char>(index));
}

void TIndexedList::value(unsigned char &out) const
{
    out = m_valueIndex;
}

void TIndexedList::replyValue(unsigned char &out) const
{
    out = m_replyIndex;
}

int TIndexedList::valueLength() const
{
    return 1;
}
