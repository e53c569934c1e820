#pragma once

#include "TTextList.h"

// An index into the comma-separated list of the owner's set text, such as
// "F,O,T" of a mute button; the device carries the entry itself.
class TChrL : public TTextList
{
    Q_OBJECT
public:
    explicit TChrL(QObject *parent = nullptr);

    // The list is the set text split at every ",", empty parts kept.
    void configure() override;
    QString typeName() const override;

protected:
    // An empty text selects the first entry even when the list holds an
    // empty one.
    unsigned char indexOf(const QString &text) const override;
};
