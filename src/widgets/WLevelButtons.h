#pragma once

#include "WSlider.h"

// A fader drawn as a minus and a plus key with the value between them. A
// click sends at once; a key held down repeats in its QML item, and clicks
// that follow within the send delay are sent together when it ends.
class WLevelButtons : public WSlider
{
    Q_OBJECT
public:
    explicit WLevelButtons(QQuickItem *parent = nullptr);

    void destroy() override;
    void completeSetup() override;
    bool writeXml(XmlWriter &writer) override;
    bool processProperty(const QString &name, const QString &value) override;
    bool isType(const QString &keyword) const override;
    void setItemVisible(bool visible) override;

    // The text as read, placeholders and all.
    QString textSetting() const { return m_text; }

public slots:
    void outputValue(int value);

protected:
    bool sendsAfterDelay() const override;
    void showValueText(int position) override;

private:
    void stopRepeat();

    QString m_text;
};
