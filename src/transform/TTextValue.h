#pragma once

#include "TTransform.h"

// Base of the kinds that keep the value to send and the device's reply as
// texts.
class TTextValue : public TTransform
{
    Q_OBJECT
public:
    explicit TTextValue(QObject *parent = nullptr);

    void setValueText(const QString &text) override;
    void setReplyText(const QString &text) override;
    QString valueText() const override;
    QString replyText() const override;
    int valueLength() const override;

protected:
    QString m_valueText;
    QString m_replyText;
};
