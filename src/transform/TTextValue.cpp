#include "TTextValue.h"

TTextValue::TTextValue(QObject *parent) : TTransform(parent) {}

void TTextValue::setValueText(const QString &text)
{
    m_valueText = text;
}

void TTextValue::setReplyText(const QString &text)
{
    m_replyText = text;
    emit replyValueReady();
}

QString TTextValue::valueText() const
{
    return m_valueText;
}

QString TTextValue::replyText() const
{
    return m_replyText;
}

int TTextValue::valueLength() const
{
    return int(m_valueText.size());
}
