#pragma once

#include "TTextValue.h"

// A text sent and reported as it is, such as the number a dialer calls.
class TText : public TTextValue
{
    Q_OBJECT
public:
    explicit TText(QObject *parent = nullptr);

    QString typeName() const override;
};
