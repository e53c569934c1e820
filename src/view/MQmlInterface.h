#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVariantList>

class MModel;
class VQmlFrame;

// The one object that native code and QML share ("intrf" in QML). QML reads
// its properties (colours, sizes, titles, image paths; they are declared in
// QmlInterface.qml, whose root element is this class) and calls its methods.
class MQmlInterface : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList setupMenuData READ setupMenuData NOTIFY setupMenuDataChanged)
public:
    static const char *const SourceUrl;

    explicit MQmlInterface(QObject *parent = nullptr);
    ~MQmlInterface() override;

    VQmlFrame *view() const { return m_view; }
    void setView(VQmlFrame *view);
    MModel *model() const;
    void setModel(MModel *model);

    // Each entry is a command key and its display text; QML shows the text
    // and posts the key back with postCommand("system", key).
    QVariantList setupMenuData() const { return m_setupMenu; }
    void setSetupMenu(const QList<QPair<QString, QString>> &entries);

    Q_INVOKABLE QString getExitPIN() const;
    Q_INVOKABLE void setObject(const QString &name, QObject *object);
    Q_INVOKABLE void canvasResize();
    Q_INVOKABLE QString getVersionText() const;
    Q_INVOKABLE QString getFileVersionString() const;
    Q_INVOKABLE QString getProjectInfoString() const;
    Q_INVOKABLE QString getNetworkStatusString() const;
    Q_INVOKABLE QString getMobileIPAddressString() const;
    Q_INVOKABLE QString getReceivePanelString() const;
    Q_INVOKABLE bool postCommand(const QString &target, const QString &data);
    // A drag from the hardware tree dropped on a drop site (edit mode).
    Q_INVOKABLE bool dropSite(const QString &text, const QString &data, QObject *site);
    Q_INVOKABLE int getAppFunction() const;
    Q_INVOKABLE QString getDesktopOrMobile() const;

signals:
    void showReceiveDialog();
    void closeReceiveDialog();
    void receiveDialogCanceled();
    void showMessageDialog(const QString &title, const QString &text);
    void messageDialogClosed();
    void showRegionDialog();
    void regionDialogClosed();
    void showExitPasscodeDialog();
    void closeSignal();
    void setupMenuDataChanged();

public slots:
    void onExitTimerTimeout();
    void onReceiveModeDialogClosed();
    void exitApplication();

private:
    QPointer<VQmlFrame> m_view;
    QPointer<MModel> m_model;
    QVariantList m_setupMenu;
    QTimer m_exitTimer;
};
