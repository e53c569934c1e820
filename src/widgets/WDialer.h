#pragma once

#include "WDialerReply.h"
#include "WWidget.h"

#include <QColor>
#include <QTimer>

// The telephone keypad of a PSTN or VoIP interface. Every key is one command
// text that goes to the device through the control's text transform; the
// device's status answers (state word and far-end identity) come back
// through the same transform and drive what the keypad shows. The widget
// never changes the call state on its own: only "Call Ended" fades back to
// the state's own text after a while.
class WDialer : public WWidget
{
    Q_OBJECT
    Q_PROPERTY(int dialerState READ dialerState NOTIFY dialerStateChanged)
    Q_PROPERTY(bool isHoldActive READ isHoldActive NOTIFY holdStateChanged)
    Q_PROPERTY(QString callType READ callType NOTIFY callTypeChanged)
    Q_PROPERTY(QString idString READ idString NOTIFY idStringChanged)
    Q_PROPERTY(QString displayText READ displayText NOTIFY displayTextChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)
    Q_PROPERTY(QString callTime READ callTime NOTIFY callTimeChanged)
    Q_PROPERTY(QString lastDialled READ lastDialled NOTIFY lastDialledChanged)
    Q_PROPERTY(bool isAspectRatioCorrectionActive READ isAspectRatioCorrectionActive
                   NOTIFY aspectRatioCorrectionChanged)
    Q_PROPERTY(QColor primaryColor READ primaryColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor secondaryColor READ secondaryColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor secondaryColorRed READ secondaryColorRed NOTIFY colorsChanged)
    Q_PROPERTY(QColor secondaryColorGreen READ secondaryColorGreen NOTIFY colorsChanged)
    Q_PROPERTY(bool alwaysShowCallAndEnd READ alwaysShowCallAndEnd NOTIFY alwaysShowCallAndEndChanged)
public:
    enum DialerState {
        State_HangUp = WDialerReply::HangUp,
        State_Active = WDialerReply::Active,
        State_Incoming = WDialerReply::Incoming,
        State_ActiveIncoming = WDialerReply::ActiveIncoming,
        State_Outgoing = WDialerReply::Outgoing,
        State_RingBack = WDialerReply::RingBack,
        State_Busy = WDialerReply::Busy,
        State_Dialing = WDialerReply::Dialing,
        State_DialTone = WDialerReply::DialTone,
        State_Hold = WDialerReply::Hold,
        State_OTHER = WDialerReply::Other,
    };
    Q_ENUM(DialerState)

    static constexpr int CallDurationMs = 1000;
    static constexpr int CallEndedMs = 2000;
    static constexpr int StatusQueryMs = 5000;
    // After a key the device's answer is asked for sooner, for this long.
    static constexpr int FollowUpQueryMs = 500;
    static constexpr int FollowUpPeriodMs = 3000;
    // Longer numbers are no telephone numbers: further keys are refused.
    static constexpr int MaxDigits = 64;

    explicit WDialer(QQuickItem *parent = nullptr);

    void initialize(QQuickItem *item) override;
    void destroy() override;
    void setAttributes(const CAttributes &attributes) override;
    void setTransform(TTransform *transform) override;
    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;
    void refresh() override;
    void scaleGeometry(double factor, bool both) override;
    void placeIn(const QRectF &rect) override;
    void resizeIn(const QRectF &oldRect, const QRectF &newRect) override;
    // A speed-dial key next to the dialer: its digits are dialled, or sent
    // as tones during a call.
    void runCommand(const QString &command) override;
    void onOnlineStateChanged(bool online) override;

    int dialerState() const { return m_state; }
    bool isHoldActive() const { return m_state == State_Hold; }
    QString callType() const { return m_callType; }
    bool isVoip() const;
    QString idString() const { return m_idString; }
    QString displayText() const { return m_displayText; }
    QString statusText() const { return m_statusText; }
    QString callTime() const;
    // The number the directory key brings back.
    QString lastDialled() const { return m_lastDialled; }
    int callSeconds() const { return m_callSeconds; }
    bool isAspectRatioCorrectionActive() const { return m_aspect > 0.0; }
    QColor primaryColor() const { return m_primary; }
    QColor secondaryColor() const { return m_secondaryBlue; }
    QColor secondaryColorRed() const { return m_secondaryRed; }
    QColor secondaryColorGreen() const { return m_secondaryGreen; }
    bool alwaysShowCallAndEnd() const { return m_alwaysShowCallAndEnd; }
    bool isCallTimerRunning() const { return m_callDurationTimer.isActive(); }
    bool isCallEndedTimerRunning() const { return m_callEndedTimer.isActive(); }
    bool isStatusTimerRunning() const { return m_statusTimer.isActive(); }
    int statusTimerInterval() const { return m_statusTimer.interval(); }

    // The text the status line shows for a state ("Dialing", "Active" ...).
    static QString statusTextFor(int state);

    // The width that keeps the keypad's proportions at height h, and the
    // height that keeps them at width w; the size itself when the keypad has
    // no proportions to keep.
    Q_INVOKABLE qreal adjustHeight(qreal h) const;
    Q_INVOKABLE qreal adjustWidth(qreal w) const;

signals:
    // Emitted by the QML keys.
    void accept();
    void backspace();
    void backspaceHeld();
    void clear();
    void callOrEnd(bool doNotSendEnd);
    void digit(const QString &key);
    void digitHeld(const QString &key);
    void digitHeldFiveSeconds(const QString &key);
    void directory();
    void hold();
    void addCallOrFlash();
    void endAndAccept();
    void declineAndStayActive();
    void holdAndAccept();

    void dialerStateChanged();
    void holdStateChanged(bool isActive);
    void callTypeChanged();
    void idStringChanged();
    void displayTextChanged();
    void statusTextChanged();
    void callTimeChanged();
    void lastDialledChanged();
    void aspectRatioCorrectionChanged();
    void colorsChanged();
    void alwaysShowCallAndEndChanged();

public slots:
    void onCallDurationTimerTimeOut();
    void onCallEndedTimerTimeOut();
    void onStatusUpdateTimeout();
    void onQueryTypeToggleTimerTimeout();

private slots:
    void onAccept();
    void onBackspace();
    void onBackspaceHeld();
    void onClear();
    void onCallOrEnd(bool doNotSendEnd);
    void onDigit(const QString &key);
    void onDigitHeld(const QString &key);
    void onDigitHeldFiveSeconds(const QString &key);
    void onDirectory();
    void onHold();
    void onAddCallOrFlash();
    void onEndAndAccept();
    void onDeclineAndStayActive();
    void onHoldAndAccept();

private:
    // Hands one command text to the device, when there is one to take it.
    void sendCommand(const QString &command);
    void armStatusTimer();
    void applyReply(const WDialerReply &reply);
    void enterState(DialerState state);
    bool appendKey(const QString &key);
    void setDisplayText(const QString &text);
    void setIdString(const QString &text);
    void setStatusText(const QString &text);
    void setCallSeconds(int seconds);
    void stopCallTimers();
    // Fits the placed item to the keypad's proportions, centred.
    void keepAspect();
    static bool isCallState(int state);

    DialerState m_state = State_HangUp;
    QString m_callType;
    QString m_idString;
    QString m_displayText;
    QString m_statusText;
    QString m_lastDialled;
    QString m_title;
    int m_callSeconds = 0;
    // Width over height of the keypad as the file draws it; 0 when unknown.
    double m_aspect = 0.0;
    QColor m_primary;
    QColor m_secondaryRed;
    QColor m_secondaryGreen;
    QColor m_secondaryBlue;
    bool m_alwaysShowCallAndEnd = false;
    bool m_followUp = false;
    QTimer m_callDurationTimer;
    QTimer m_callEndedTimer;
    QTimer m_statusTimer;
    QTimer m_queryTypeToggleTimer;
};
