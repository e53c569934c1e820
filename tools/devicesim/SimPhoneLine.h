#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// How the simulated telephone lines behave: how long each automatic step of
// a call takes and which numbers are engaged.
struct SimPhoneSettings
{
    static constexpr int DefaultStepMs = 1500;

    // A dialled number is complete after this pause; a VoIP call takes this
    // long to reach the far end, and the far end answers after ringing twice
    // as long.
    int stepMs = DefaultStepMs;
    QStringList busyNumbers;
};

// One telephone line of a simulated device (a PSTN or VoIP interface
// block), driven by the dialer commands its parameter receives and answering
// its status query with a state word and, after "&", the far end:
//
//   DIGIT k  BACKSPACE  CLEAR  CALL [number]  END  HOLD  RESUME  FLASH  ADD
//   ACCEPT  DECLINE  ENDACCEPT  HOLDACCEPT
//
// A line holds up to three calls: the connected one, one on hold and one
// waiting to be answered; a new outgoing call goes through dial tone,
// dialling (PSTN) or outgoing (VoIP), ring back, then active or busy. A VoIP
// line quotes its fields and calls its idle state "IDLE", a PSTN line
// "HANGUP".
class SimPhoneLine : public QObject
{
    Q_OBJECT
public:
    enum class Kind { Pstn, Voip };
    static constexpr int MaxNumber = 64;

    SimPhoneLine(const QString &blockName, Kind kind, const SimPhoneSettings &settings,
                 QObject *parent = nullptr);

    void setSettings(const SimPhoneSettings &settings) { m_settings = settings; }
    QString blockName() const { return m_blockName; }
    Kind kind() const { return m_kind; }

    // The status answer: "RINGBACK&5551234", "\"INCOMING\"&\"Front Desk\"".
    QString statusText() const;

    // Carries out one command; false for a text that is no dialer command.
    // A command that does not apply in the present state changes nothing and
    // still counts as understood.
    bool command(const QString &text);
    // A call arrives from the far end; false when a call is already waiting.
    bool ring(const QString &caller);
    // The far end of the connected call (else of the held, waiting or
    // outgoing call) hangs up; false when there is no call.
    bool farEndHangUp();

    // The kind a block's name suggests ("SIP ...", "... VoIP ..." are VoIP).
    static Kind kindForName(const QString &blockName);
    // Whether the text is a dialer command: a command word (in any case)
    // with the argument it takes.
    static bool isCommand(const QString &text);

signals:
    // The status answer changed.
    void changed(const QString &statusText);

private slots:
    void onStep();

private:
    enum class Setup { None, DialTone, Dialing, Outgoing, RingBack, Busy };

    // A call of the line: the far end's identity (a number or a name).
    struct Call
    {
        bool present = false;
        QString party;
    };

    void dial(const QString &number);
    void endSetup();
    void setActive(const QString &party);
    void holdActive();
    void finish();
    static QString cleanParty(const QString &text);

    QString m_blockName;
    Kind m_kind;
    SimPhoneSettings m_settings;
    Setup m_setup = Setup::None;
    QString m_number; // typed before calling, or being dialled
    Call m_active;
    Call m_held;
    Call m_waiting;
    QTimer m_stepTimer;
    QString m_lastStatus;
};
