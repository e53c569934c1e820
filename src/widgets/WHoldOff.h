#pragma once

#include <QObject>
#include <QTimer>

// The window after a user's action in which device reports do not change
// what a widget shows: a slow device's echo of an older value must not flip
// a button back or move a knob under the finger. A report that arrives in
// the window is not lost: the transform keeps the last one, and when the
// window ends reportDue() asks the widget to show it, so the device's
// confirmation (or refusal) of the user's change is always seen.
class WHoldOff : public QObject
{
    Q_OBJECT
public:
    explicit WHoldOff(int intervalMs, QObject *parent = nullptr);

    int interval() const { return m_timer.interval(); }
    void setInterval(int ms) { m_timer.setInterval(ms); }

    // Opens the window, or extends an open one to a full interval from now.
    void start();
    bool isActive() const { return m_timer.isActive(); }

    // A device report has arrived. True while the window is open: the
    // caller leaves the report unshown and hears reportDue() once the
    // window ends. False when the report may be shown at once.
    bool defer();
    bool hasDeferredReport() const { return m_deferred; }

signals:
    // The window has ended with a report waiting.
    void reportDue();

private:
    void onTimeout();

    QTimer m_timer;
    bool m_deferred = false;
};
