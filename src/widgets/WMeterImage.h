#pragma once

#include "WMeterBase.h"

// A lamp that shows which zone the level is in: grey below the range,
// green up to the first colour break, yellow up to the second, orange above.
class WMeterImage : public WMeterBase
{
    Q_OBJECT
public:
    static const char *const GreyLamp;
    static const char *const GreenLamp;
    static const char *const YellowLamp;
    static const char *const OrangeLamp;

    explicit WMeterImage(QQuickItem *parent = nullptr);

    void initialize(QQuickItem *item) override;
    void refresh() override;

protected:
    void stopShowing(bool offline) override;
    bool processOwnKey(const QString &name, const QString &value) override;
    void writeOwnKeys(XmlWriter &writer) const override;

private:
    QString m_path;
};
