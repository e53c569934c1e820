#pragma once

#include "WWidget.h"

#include <QTimer>

// What the bar meter and the lamp meter share: the level range and its two
// colour breaks, the poll rate, and polling their own level while the device
// is online and the meter is shown. Every tick asks the protocol for the
// level at once; meters of one card share the report it answers with.
class WMeterBase : public WWidget
{
    Q_OBJECT
    Q_PROPERTY(double minimum READ minimum NOTIFY minimumChanged)
    Q_PROPERTY(double maximum READ maximum NOTIFY maximumChanged)
    Q_PROPERTY(QString unitsText READ unitsText NOTIFY unitsTextChanged)
public:
    static constexpr int DefaultIntervalMs = 250;
    static constexpr double DefaultMinimum = -60.0;
    static constexpr double DefaultMaximum = 0.0;
    // Line outputs of the second card variant report 24 dB below the level.
    static constexpr double OutputCardOffset = 24.0;

    explicit WMeterBase(QQuickItem *parent = nullptr);

    void destroy() override;
    void setAttributes(const CAttributes &attributes) override;
    void completeSetup() override;
    void setTransform(TTransform *transform) override;
    void setItemVisible(bool visible) override;
    void onOnlineStateChanged(bool online) override;
    bool writeXml(XmlWriter &writer) override;
    bool processProperty(const QString &name, const QString &value) override;

    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    QString unitsText() const { return m_unitsText; }
    QString rate() const { return m_rate; }
    int pollInterval() const { return m_meterTimer.interval(); }
    bool isPolling() const { return m_meterTimer.isActive(); }
    bool isOnline() const { return m_online; }
    QString textSetting() const { return m_text; }
    // The poll interval of a rate text, -1 for a text that is not a rate.
    static int intervalOf(const QString &rate);

signals:
    void minimumChanged();
    void maximumChanged();
    void unitsTextChanged();

public slots:
    // The poll.
    void onSendDelayTimerTimeout();

protected:
    // The reported level with its card's offset, brought into the range.
    double level() const;
    // The colour breaks in order and within the range.
    double lowBreak() const;
    double highBreak() const;
    // The fraction of the range below value, 0 to 1.
    double pointOf(double value) const;
    // A meter that gets no more levels: offline or hidden.
    virtual void stopShowing(bool offline) = 0;
    // A key of the bar meter's own: marker and units; false when not one.
    virtual bool processOwnKey(const QString &name, const QString &value);
    virtual void writeOwnKeys(XmlWriter &writer) const;

    double m_minimum = DefaultMinimum;
    double m_maximum = DefaultMaximum;
    double m_break1 = -20.0;
    double m_break2 = -6.0;
    QString m_unitsText = QStringLiteral("dBFS");

private:
    void setMinimum(double minimum);
    void setMaximum(double maximum);
    void setRate(const QString &rate);
    void updatePolling();
    bool protocolOnline() const;

    QTimer m_meterTimer;
    QString m_rate = QStringLiteral("4x/s");
    QString m_channelName;
    int m_indexOffset = 0;
    int m_cardPin = -1;
    bool m_online = false;
    bool m_shown = true;
    QString m_text;
};
