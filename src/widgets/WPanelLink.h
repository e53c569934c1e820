#pragma once

#include "WLabel.h"

#include <QTimer>

class CControl;

// A link on a panel that opens another panel when clicked: a text (a label's
// text, with its formatting) or an image, on a button face or on nothing.
class WPanelLink : public WLabel
{
    Q_OBJECT
public:
    static constexpr int JumpDelayMs = 5;

    explicit WPanelLink(QQuickItem *parent = nullptr);

    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;

    // The panel the link opens ("Scene/Panel", or a panel's or a scene's
    // name); a panel given here also names the link.
    QString target() const { return m_target; }
    void setTargetPanel(const CControl *panel);
    bool isJumpPending() const { return m_jumpTimer.isActive(); }

public slots:
    // From QML, on a click.
    void selectPanel();
    void onJumpTimerTimeout();

private:
    QString m_target;
    QString m_image;
    QString m_imagePath;
    QTimer m_jumpTimer;
};
