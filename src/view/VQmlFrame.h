#pragma once

#include <QQuickView>
#include <QStringList>

// The Qt Quick window that the main window embeds; it hosts the desktop
// scene that the canvas loads into it.
class VQmlFrame : public QQuickView
{
    Q_OBJECT
public:
    explicit VQmlFrame(QWindow *parent = nullptr);
    ~VQmlFrame() override;

    // Logical dots per inch of the screen the view is on; 72 without one.
    qreal pixelsPerInch() const;

    void setSetupMenuEntries(const QString &commaSeparated);
    QStringList setupMenuEntries() const { return m_setupMenu; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QStringList m_setupMenu;
};
