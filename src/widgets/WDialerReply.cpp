#include "WDialerReply.h"

#include <QStringList>

namespace {
struct Word
{
    const char *text;
    WDialerReply::State state;
};

const Word Words[] = {
    {"HANGUP", WDialerReply::HangUp},
    {"IDLE", WDialerReply::HangUp},
    {"ACTIVE", WDialerReply::Active},
    {"INCOMING", WDialerReply::Incoming},
    {"ACTIVE_INCOMING", WDialerReply::ActiveIncoming},
    {"OUTGOING", WDialerReply::Outgoing},
    {"RINGBACK", WDialerReply::RingBack},
    {"BUSY", WDialerReply::Busy},
    {"DIALING", WDialerReply::Dialing},
    {"DIALTONE", WDialerReply::DialTone},
    {"HOLD", WDialerReply::Hold},
};
} // namespace

WDialerReply::State WDialerReply::stateForWord(const QString &word)
{
    for (const Word &w : Words) {
        if (word == QLatin1String(w.text))
            return w.state;
    }
    return Other;
}

WDialerReply WDialerReply::parse(const QString &text)
{
    WDialerReply reply;
    if (text.size() > MaxLength) {
        reply.m_problem = QStringLiteral("an answer of %1 characters").arg(text.size());
        return reply;
    }
    if (text.count(QLatin1Char('"')) % 2 != 0) {
        reply.m_problem = QStringLiteral("unbalanced quotes");
        return reply;
    }
    QString plain = text;
    plain.remove(QLatin1Char('"'));
    const QStringList fields = plain.split(QLatin1Char('&'));
    const QString word = fields.first().trimmed();
    if (word.isEmpty() || word == QLatin1String("ERROR")) {
        reply.m_problem = word.isEmpty() ? QStringLiteral("an empty answer") : QStringLiteral("ERROR");
        return reply;
    }
    reply.m_state = stateForWord(word);
    if (reply.m_state == Other) {
        reply.m_problem = QStringLiteral("the unknown word ") + word;
        return reply;
    }
    reply.m_valid = true;
    reply.m_identity = fields.value(1).trimmed();
    return reply;
}
