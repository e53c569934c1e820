#pragma once

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QTimer>

class CCanvas;
#include "CComposite.h"
#include "MSetupMenu.h"
class CControl;
class HChassis;
class HRoot;
class IComposite;
class MainWindow;
class QQuickItem;
class MProject;
class MQmlInterface;
class MTransfer;
class VQmlFrame;
class WWidget;

// The application model: owns the hardware tree, the document and the
// project information of the open control-panel file, shows its scenes and
// panels page by page, and answers the scene's setup menu.
class MModel : public QObject
{
    Q_OBJECT
public:
    static const char *const VersionNumber;
    static const char *const DemoFile;

    explicit MModel(QObject *parent = nullptr);
    ~MModel() override;

    void setMainWindow(MainWindow *window) { m_mainWindow = window; }
    void setCanvas(CCanvas *canvas);
    void setQmlView(VQmlFrame *view);
    void initialize();

    HRoot *hardwareRoot() const { return m_hardware; }
    CComposite *document() const { return m_document; }
    MProject *project() const { return m_project; }
    // Sending to mobile devices and receive mode.
    MTransfer *transfer() const { return m_transfer; }
    MQmlInterface *qmlInterface() const;
    VQmlFrame *qmlView() const;

    // Opening and closing ------------------------------------------------
    // Opens a control-panel file or archive; on failure the user is told
    // once, with the file and the reason, and no document stays open.
    // documentChanged() follows either way.
    bool openFile(const QString &path);
    void closeDocument();
    QString filePath() const { return m_filePath; }
    bool isModified() const { return m_modified; }
    QString fileVersion() const { return m_fileVersion; }
    void setModified(bool modified) { m_modified = modified; }
    // The file opened at start: a panel received earlier, else the demo.
    static QString startupFile();
    static QString designsFolder();
    static QString receiveTarget();

    // Scenes and pages ---------------------------------------------------
    CComposite *currentScene() const { return m_scene; }
    CComposite *currentPanel() const { return m_panel; }
    // The composite whose controls are polled: the shown panel.
    CComposite *currentComposite() const;
    int pageIndex() const { return m_pageIndex; }
    int pageCount() const;
    void showPage(int index);
    void pageLeft();
    void pageRight();
    // A scene shows its first panel (none when it has none); a panel of any
    // scene is shown in its scene, and "Scene/Panel" names the panel of that
    // scene. False when nothing has that name.
    bool showSceneOrPanel(const QString &name);
    // A panel link or region asks for the panel of that name.
    void followLink(const QString &panelName);

    // Editing ---------------------------------------------------------------
    // A drag from the hardware tree (text: the parameter, data: its node, as
    // WDropSite::dragData gives it) lands on a drop site: when the site takes
    // it, the parameter's control is made from its template in the site's
    // place, and the site holds it. False when nothing was placed.
    bool dropOnSite(WWidget *site, const QString &text, const QString &data);
    // The control leaves the canvas (a drop site lets go of it).
    void removeControl(CControl *control);

    // Online -------------------------------------------------------------
    bool isOnline() const { return m_online; }
    bool isPollingActive() const { return m_pollingActive; }
    // The 250 ms poll timer runs.
    bool isPolling() const { return m_pollTimer.isActive(); }
    // Every device goes online or offline; online, the shown panel is polled
    // every 250 ms.
    void setOnline(bool online);
    // The interfaces of the devices, in tree order; linked, not owned.
    IComposite *interfaces() const { return m_interfaces; }
    void rebuildInterfaces();
    // Starts asking the shown panel's controls for their state.
    void startStateRequests();

    // Scene properties ----------------------------------------------------
    void refreshScene();
    void computeScales();
    float viewScale() const { return m_viewScale; }
    // Applies the canvas's skin and accent to the bridge object and
    // remembers what was applied (an unknown skin falls back to "Light").
    void applySkin();
    QString appliedSkin() const { return m_appliedSkin; }
    QString appliedAccent() const { return m_appliedAccent; }
    // The connection lamp's image path as last set ("...indicator_grn.png");
    // empty before the first change of the devices' state.
    QString statusIndicator() const { return m_connectIndicator; }

    // Transfers ------------------------------------------------------------
    // Sends the open file, as it was opened (an archive whole), to the
    // mobile device whose address the user gives; 1 when it arrived, 0
    // otherwise.
    int sendToMobile();
    // Receive mode: waits for a panel file from another station; once one
    // arrived and checked out, it is opened and the devices go online.
    void receivePanel();
    // The document holds at least one control to operate.
    bool hasControls() const;

    // Setup menu ------------------------------------------------------------
    void setupMenuItem(const QString &key) { m_setupMenu.choose(key); }
    QString versionText() const { return MSetupMenu::versionText(); }
    QString mobileAddressText() const { return MSetupMenu::mobileAddressText(); }
    QString networkStatusText() const { return m_setupMenu.networkStatusText(); }
    QString receiveBoxText() const { return m_setupMenu.receiveBoxText(); }
    static QString fileNameOf(const QString &path);
    static QString indicatorImage(int connected, int count);

    // Desktop only: the canvas's multiplyScaleFactor, or true without one.
    Q_INVOKABLE bool getIsScaleMultiply() const;

signals:
    void resetQMLFocus();
    void enableConnection(bool enabled);
    void displayMessage(const QString &message);
    void selectState(bool selected);
    void ccpState(bool state);
    void reloadCanvas();
    void resetCanvas();
    void changedStatusIndicator();
    // A failure the user must hear of; the window shows it in a box.
    void warning(const QString &title, const QString &text);
    // The file now shown (empty when none is), after every open and close.
    void documentChanged(const QString &path);
    void onlineChanged(bool online);

public slots:
    void doPolling();
    void interfaceStatusChanged(bool isConnected);
    void applicationStateChanged(Qt::ApplicationState state);
    void aboutToQuit();
    void onExtraRefreshTimerTimeout();

private:
    bool loadPanelFile(const QString &path, QString *reason);
    void showPanel(CComposite *panel, int index);
    void hidePanel();
    void layoutPanel(CComposite *panel);
    void setQml(const char *name, const QVariant &value);
    QQuickItem *controlArea() const;
    CComposite *findPanel(const QString &name) const;
    QList<HChassis *> devices() const;
    QString headerText() const;

    QPointer<MQmlInterface> m_qml;
    HRoot *m_hardware = nullptr;
    IComposite *m_interfaces = nullptr;
    CComposite *m_document = nullptr;
    MProject *m_project = nullptr;
    QTimer m_pollTimer;
    QTimer m_extraRefreshTimer;
    bool m_online = false;
    bool m_pollingActive = false;
    QPointer<CComposite> m_scene;
    QPointer<CComposite> m_panel;
    int m_pageIndex = 0;
    float m_viewScale = 1.0f;
    double m_rootWidth = 0.0;
    // The document's content as the file places it, for the scales.
    QRectF m_contentBounds;
    double m_rootHeight = 0.0;
    CCanvas *m_canvas = nullptr;
    MainWindow *m_mainWindow = nullptr;
    QPointer<VQmlFrame> m_view;
    QString m_filePath;
    bool m_modified = false;
    QString m_fileVersion = QStringLiteral("3.0");
    MTransfer *m_transfer = nullptr;
    MSetupMenu m_setupMenu;
    QString m_appliedSkin;
    QString m_appliedAccent;
    QString m_connectIndicator;
};
