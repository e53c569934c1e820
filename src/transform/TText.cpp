#include "TText.h"

TText::TText(QObject *parent) : TTextValue(parent) {}

QString TText::typeName() const
{
    return QStringLiteral("Text");
}
