#pragma once

#include <QString>

class QMainWindow;
class WWidgetFactory;

// Process-wide helper of the widget layer: holds the widget factory and
// hands out control ids that are unique within the run.
class WDelegate
{
public:
    static WDelegate *instance();

    WWidgetFactory *factory() const { return m_factory; }
    // Takes ownership; the previous factory is deleted.
    void setFactory(WWidgetFactory *factory);

    quint32 nextId();

    QMainWindow *mainWindow() const { return m_mainWindow; }
    void setMainWindow(QMainWindow *window) { m_mainWindow = window; }

    // The folder drop lists read their lists from.
    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

    float aspect() const { return m_aspect; }
    void setAspect(float aspect) { m_aspect = aspect; }
    float viewScale() const { return m_viewScale; }
    void setViewScale(float scale) { m_viewScale = scale; }

private:
    WDelegate();
    ~WDelegate();

    WWidgetFactory *m_factory = nullptr;
    QString m_path;
    float m_aspect = 1.0f;
    float m_viewScale = 1.0f;
    QMainWindow *m_mainWindow = nullptr;
    quint64 m_idCounter = 0;
};
