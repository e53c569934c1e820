#pragma once

#include "WFaderRange.h"
#include "WHoldOff.h"
#include "WWidget.h"

#include <QTimer>

// A fader: a knob on a groove that sets a level on the device. Its QML item
// shows whole knob positions; the fader turns them into values of its step,
// sends at most one value per send delay while the knob moves (always the
// latest), and shows the device's reports without sending them back. A
// report that comes while the user is moving the knob does not move it:
// the value is read again once the knob has been still for a moment.
class WSlider : public WWidget
{
    Q_OBJECT
    Q_PROPERTY(bool isToneEqControl READ isToneEqControl NOTIFY isToneEqControlChanged)
public:
    // Stands for "no value known yet": no device reports it.
    static constexpr float UnknownValue = 1e-38f;
    static constexpr float NoPending = -99999.0f;
    static constexpr int SendDelayMs = 20;
    // Reports that come this soon after a send may predate it.
    static constexpr int ReportHoldOffMs = 500;

    explicit WSlider(QQuickItem *parent = nullptr);

    void destroy() override;
    void setAttributes(const CAttributes &attributes) override;
    void completeSetup() override;
    bool writeXml(XmlWriter &writer) override;
    bool processProperty(const QString &name, const QString &value) override;
    void refresh() override;
    void setNode(HNode *node) override;
    void setTransform(TTransform *transform) override;
    bool isType(const QString &keyword) const override;
    bool hasProperties() const override;
    void editProperties(CAttributes *attributes) override;
    void linkValue(WWidget *source) override;

    bool isToneEqControl() const { return m_toneEq; }
    const WFaderRange &range() const { return m_range; }
    float current() const { return m_current; }
    bool hasValue() const { return m_current != UnknownValue; }
    float pending() const { return m_pending; }
    bool isSendPending() const { return m_sendDelayTimer.isActive(); }
    bool isSendNeeded() const { return m_sendNeeded; }
    bool isHoldingReports() const { return isSendPending() || m_holdOff.isActive(); }

signals:
    void isToneEqControlChanged();

public slots:
    void outputValue(int value);
    void setIsSendNeeded(bool state);
    void onSendDelayTimerTimeout();

protected:
    // Makes value (at position) the fader's current value; with send, it
    // goes to the device. A send the protocol refuses puts the previous
    // value back on show.
    void commit(float value, int position, bool send);
    // Whether the value of a finished send delay goes to the device.
    virtual bool sendsAfterDelay() const;
    // Shows the value beside the knob; the level buttons show it as text.
    virtual void showValueText(int position);
    // The control's label gets its text once everything is set up.
    void fillControlLabel();

    WFaderRange m_range;
    float m_current = UnknownValue;
    float m_rotation = 0.0f;
    float m_pending = NoPending;
    int m_pendingPosition = 0;
    QTimer m_sendDelayTimer;
    bool m_sendNeeded = true;
    bool m_toneEq = false;
    bool m_initialised = false;

private:
    void showPosition(int position);
    void restore(float previous);
    // True when a value from the device or the linked widget must wait: the
    // user's own is on its way (and the report is noted for later).
    bool holdsBack();
    // A report held back while a send waited, once that send is done.
    void releaseHeldReport();
    void onReportDue();

    // Open for ReportHoldOffMs after the last value sent.
    WHoldOff m_holdOff;
    // A report came while a send waited (before the hold-off opens).
    bool m_reportHeld = false;
    // The knob position shown, for putting it back after a failed send.
    int m_shownPosition = 0;
};
