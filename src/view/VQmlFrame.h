#pragma once

#include "DQmlMessageDialog.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QQuickView>

#include "MQmlInterface.h"
#include "MeterGaugeLocalization.h"
class QQmlComponent;

// The Qt Quick window that the main window embeds. It registers the
// program's QML types, creates the bridge object shared with QML and hosts
// the desktop scene that the canvas loads into it.
class VQmlFrame : public QQuickView
{
    Q_OBJECT
public:
    explicit VQmlFrame(QWindow *parent = nullptr);
    ~VQmlFrame() override;

    // Registers the QML types (once per process) and creates the bridge
    // object; answers false without an engine.
    bool registerTypesAndSetup();
    static void registerTypes();

    MQmlInterface *qmlInterface() const { return m_interface; }
    DQmlMessageDialog *messageDialog() { return &m_messageDialog; }

    // Logical dots per inch of the screen the view is on; 72 without one.
    qreal pixelsPerInch() const;

    // Setup menu entries as command key and display text.
    void setSetupMenuEntries(const QList<QPair<QString, QString>> &entries);

private:
    DQmlMessageDialog m_messageDialog;
    QQmlComponent *m_interfaceComponent = nullptr;
    QPointer<MQmlInterface> m_interface;
    MeterGaugeLocalization m_meterLocalization;
};
