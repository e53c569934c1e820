#pragma once

#include "WPolygon.h"

#include <QTimer>

// A freely shaped area of a panel that takes the user to another panel: a
// press inside follows the link a moment later, once the press is handled.
class WRegion : public WPolygon
{
    Q_OBJECT
public:
    static constexpr int JumpDelayMs = 5;
    // Written to the log when a region is made, so a site can tell that
    // logging works.
    static const char *const LogTestLine;

    explicit WRegion(QQuickItem *parent = nullptr);

    bool outputPressed(double x, double y) override;
    bool isJumpPending() const { return m_jumpTimer.isActive(); }

public slots:
    void onJumpTimerTimeout();

private:
    QTimer m_jumpTimer;
};
