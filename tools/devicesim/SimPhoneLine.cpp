#include "SimPhoneLine.h"

#include <QRegularExpression>

namespace {
const QRegularExpression DialKey(QStringLiteral("^[0-9*#+]$"));
const QRegularExpression DialNumber(QStringLiteral("^[0-9*#+]{1,64}$"));

// The words that take no argument; DIGIT and CALL take a key and a number.
const char *const Words[] = {"BACKSPACE", "CLEAR",  "END",     "HOLD",      "RESUME",    "FLASH",
                             "ADD",       "ACCEPT", "DECLINE", "ENDACCEPT", "HOLDACCEPT"};

void splitCommand(const QString &text, QString *word, QString *argument)
{
    const QString trimmed = text.trimmed();
    const int space = trimmed.indexOf(QLatin1Char(' '));
    *word = (space < 0 ? trimmed : trimmed.left(space)).toUpper();
    *argument = space < 0 ? QString() : trimmed.mid(space + 1).trimmed();
}
} // namespace

SimPhoneLine::SimPhoneLine(const QString &blockName, Kind kind, const SimPhoneSettings &settings,
                           QObject *parent)
    : QObject(parent), m_blockName(blockName), m_kind(kind), m_settings(settings)
{
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &SimPhoneLine::onStep);
    m_lastStatus = statusText();
}

SimPhoneLine::Kind SimPhoneLine::kindForName(const QString &blockName)
{
    const QString name = blockName.toLower();
    return name.contains(QLatin1String("voip")) || name.contains(QLatin1String("sip")) ? Kind::Voip
                                                                                         : Kind::Pstn;
}

bool SimPhoneLine::isCommand(const QString &text)
{
    QString word, argument;
    splitCommand(text, &word, &argument);
    if (word == QLatin1String("DIGIT"))
        return DialKey.match(argument).hasMatch();
    if (word == QLatin1String("CALL"))
        return argument.isEmpty() || DialNumber.match(argument).hasMatch();
    for (const char *w : Words) {
        if (word == QLatin1String(w))
            return argument.isEmpty();
    }
    return false;
}

QString SimPhoneLine::cleanParty(const QString &text)
{
    // The name travels inside an answer: it must not end it (";", CR), split
    // it ("&") or unbalance its quotes.
    QString party = text;
    party.remove(QRegularExpression(QStringLiteral("[;&\"\\r\\n]")));
    return party.trimmed().left(48);
}

QString SimPhoneLine::statusText() const
{
    const char *word = nullptr;
    QString party;
    if (m_waiting.present && (m_active.present || m_held.present)) {
        word = "ACTIVE_INCOMING";
        party = m_waiting.party;
    } else if (m_waiting.present) {
        word = "INCOMING";
        party = m_waiting.party;
    } else if (m_setup != Setup::None) {
        static const char *const setupWords[] = {"", "DIALTONE", "DIALING", "OUTGOING", "RINGBACK", "BUSY"};
        word = setupWords[int(m_setup)];
        party = m_number;
    } else if (m_active.present) {
        word = "ACTIVE";
        party = m_active.party;
    } else if (m_held.present) {
        word = "HOLD";
        party = m_held.party;
    } else {
        word = m_kind == Kind::Voip ? "IDLE" : "HANGUP";
    }
    const bool quoted = m_kind == Kind::Voip;
    const auto field = [quoted](const QString &text) {
        return quoted ? QLatin1Char('"') + text + QLatin1Char('"') : text;
    };
    QString status = field(QLatin1String(word));
    if (!party.isEmpty())
        status += QLatin1Char('&') + field(party);
    return status;
}

void SimPhoneLine::finish()
{
    const QString status = statusText();
    if (status == m_lastStatus)
        return;
    m_lastStatus = status;
    emit changed(status);
}

void SimPhoneLine::dial(const QString &number)
{
    m_number = number;
    m_setup = m_kind == Kind::Pstn ? Setup::Dialing : Setup::Outgoing;
    m_stepTimer.start(m_settings.stepMs);
}

void SimPhoneLine::endSetup()
{
    m_setup = Setup::None;
    m_stepTimer.stop();
    m_number.clear();
}

void SimPhoneLine::setActive(const QString &party)
{
    m_active = {true, party};
}

void SimPhoneLine::holdActive()
{
    // A line holds one call: one already on hold is dropped.
    m_held = m_active;
    m_active = Call();
}

void SimPhoneLine::onStep()
{
    switch (m_setup) {
    case Setup::Dialing:
    case Setup::Outgoing:
        if (m_settings.busyNumbers.contains(m_number)) {
            m_setup = Setup::Busy;
        } else {
            m_setup = Setup::RingBack;
            m_stepTimer.start(2 * m_settings.stepMs);
        }
        break;
    case Setup::RingBack:
        setActive(m_number);
        endSetup();
        break;
    default:
        break;
    }
    finish();
}

bool SimPhoneLine::command(const QString &text)
{
    if (!isCommand(text))
        return false;
    QString word, argument;
    splitCommand(text, &word, &argument);
    const bool idle = !m_active.present && !m_held.present && !m_waiting.present && m_setup == Setup::None;
    if (word == QLatin1String("DIGIT")) {
        if (m_setup == Setup::DialTone) {
            m_setup = Setup::Dialing;
            m_number = argument;
            m_stepTimer.start(m_settings.stepMs);
        } else if (m_setup == Setup::Dialing && m_number.size() < MaxNumber) {
            m_number += argument;
            m_stepTimer.start(m_settings.stepMs);
        } else if (idle && m_number.size() < MaxNumber) {
            m_number += argument;
        }
        // During a call the key is a tone to the far end: nothing changes.
    } else if (word == QLatin1String("BACKSPACE")) {
        if (idle)
            m_number.chop(1);
    } else if (word == QLatin1String("CLEAR")) {
        if (idle)
            m_number.clear();
    } else if (word == QLatin1String("CALL")) {
        const QString number = argument.isEmpty() ? m_number : argument;
        if (m_setup == Setup::DialTone && !number.isEmpty())
            dial(number);
        else if (!m_waiting.present && !m_active.present && m_setup == Setup::None) {
            if (number.isEmpty())
                m_setup = Setup::DialTone;
            else
                dial(number);
        }
    } else if (word == QLatin1String("END")) {
        if (m_setup != Setup::None)
            endSetup();
        else if (m_active.present)
            m_active = Call();
        else if (m_waiting.present)
            m_waiting = Call();
        else if (m_held.present)
            m_held = Call();
    } else if (word == QLatin1String("HOLD")) {
        if (m_active.present && m_setup == Setup::None)
            holdActive();
    } else if (word == QLatin1String("RESUME")) {
        if (m_held.present && !m_active.present && m_setup == Setup::None) {
            m_active = m_held;
            m_held = Call();
        }
    } else if (word == QLatin1String("FLASH") || word == QLatin1String("ADD")) {
        if (m_active.present && m_waiting.present) {
            // Call waiting: the waiting call is taken, the other one held.
            holdActive();
            m_active = m_waiting;
            m_waiting = Call();
        } else if (m_active.present && m_held.present) {
            std::swap(m_active, m_held);
        } else if (m_active.present && m_setup == Setup::None) {
            // A second call: the first waits on hold meanwhile.
            holdActive();
            m_number.clear();
            m_setup = Setup::DialTone;
        }
    } else if (word == QLatin1String("ACCEPT") || word == QLatin1String("HOLDACCEPT")) {
        if (m_waiting.present) {
            if (m_active.present)
                holdActive();
            endSetup();
            m_active = m_waiting;
            m_waiting = Call();
        }
    } else if (word == QLatin1String("ENDACCEPT")) {
        if (m_waiting.present) {
            endSetup();
            m_active = m_waiting;
            m_waiting = Call();
        }
    } else if (word == QLatin1String("DECLINE")) {
        m_waiting = Call();
    }
    finish();
    return true;
}

bool SimPhoneLine::ring(const QString &caller)
{
    if (m_waiting.present)
        return false;
    m_waiting = {true, cleanParty(caller)};
    finish();
    return true;
}

bool SimPhoneLine::farEndHangUp()
{
    if (m_active.present)
        m_active = Call();
    else if (m_held.present)
        m_held = Call();
    else if (m_waiting.present)
        m_waiting = Call();
    else if (m_setup != Setup::None)
        endSetup();
    else
        return false;
    finish();
    return true;
}
