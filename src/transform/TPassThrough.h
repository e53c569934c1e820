#pragma once

#include "TTextValue.h"

// Relays between the device protocol and the bound hardware node, which
// builds its own poll commands and reads its own replies (the room-combine
// controls). Without a node there is nothing to relay.
class TPassThrough : public TTextValue
{
    Q_OBJECT
public:
    explicit TPassThrough(QObject *parent = nullptr);

    // Hands the reply to the node; the node announces what it made of it.
    void setReplyText(const QString &text) override;
    QString replyText() const override;
    QString pollCommand() const override;
    // Due by the poll divider, but never while the node still waits for the
    // answer to its last command.
    bool pollDue() override;
    int valueLength() const override;
    QString typeName() const override;
};
