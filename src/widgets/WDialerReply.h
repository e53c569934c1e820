#pragma once

#include <QString>

// One status answer of a telephone interface, as its dialer reads it: a state
// word, optionally followed by "&" and the far end's identity ("ACTIVE",
// "INCOMING&Front Desk 201", "\"RINGBACK\"&\"5551234\""). Double quotes are
// taken out before the fields are read.
class WDialerReply
{
public:
    // The states in the order the dialer exposes them (WDialer::DialerState).
    enum State {
        HangUp,
        Active,
        Incoming,
        ActiveIncoming,
        Outgoing,
        RingBack,
        Busy,
        Dialing,
        DialTone,
        Hold,
        Other,
    };

    // Longer answers come from a device that is out of step, not from a
    // telephone interface; they are not read.
    static constexpr int MaxLength = 256;

    // An answer that carries no state (empty, "ERROR", an unknown word,
    // unbalanced quotes, too long) is not valid and changes nothing.
    static WDialerReply parse(const QString &text);
    // The state a device word gives; Other for a word that names none.
    static State stateForWord(const QString &word);

    bool isValid() const { return m_valid; }
    State state() const { return m_state; }
    // Empty when the answer names no one.
    QString identity() const { return m_identity; }
    // Why an invalid answer was set aside, for the debug output.
    QString problem() const { return m_problem; }

private:
    bool m_valid = false;
    State m_state = Other;
    QString m_identity;
    QString m_problem;
};
