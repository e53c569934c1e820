#include "TPassThrough.h"

#include "HNode.h"

TPassThrough::TPassThrough(QObject *parent) : TTextValue(parent) {}

void TPassThrough::setReplyText(const QString &text)
{
    if (node())
        node()->takeReply(text);
}

QString TPassThrough::replyText() const
{
    return node() ? node()->replyText() : QString();
}

QString TPassThrough::pollCommand() const
{
    return node() ? node()->pollCommand() : QString();
}

bool TPassThrough::pollDue()
{
    if (!TTransform::pollDue())
        return false;
    return !node() || !node()->isAwaitingReply();
}

int TPassThrough::valueLength() const
{
    return 0;
}

QString TPassThrough::typeName() const
{
    return QStringLiteral("PassThrough");
}
