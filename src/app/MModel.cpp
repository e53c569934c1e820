#include "MModel.h"

#include "CCanvas.h"
#include "CComposite.h"
#include "CPanelFile.h"
#include "DDownloadDialog.h"
#include "DQmlMessageDialog.h"
#include "HChassis.h"
#include "HRoot.h"
#include "IComposite.h"
#include "IInterface.h"
#include "PProtocol.h"
#include "KvrLogging.h"
#include "MProject.h"
#include "MQmlInterface.h"
#include "MTransfer.h"
#include "MainWindow.h"
#include "UArchive.h"
#include "USettings.h"
#include "VModeManager.h"
#include "VQmlFrame.h"
#include "WDelegate.h"
#include "WDropSite.h"
#include "WWidgetFactory.h"
#include "XControlHandler.h"
#include "XSkinHandler.h"

#include <QDir>
#include <QFileInfo>
#include <QQmlContext>
#include <QQuickItem>
#include <QSettings>
#include <QStandardPaths>

const char *const MModel::VersionNumber = "3.0.6.0";
const char *const MModel::DemoFile = ":/data/Korvel/Demo.cpz";

namespace {
const QString ScenesType = QStringLiteral("Scenes");
const QString ChassisCategory = QStringLiteral("Chassis");

// The panels of a scene are its children of type "Controls".
CComposite *asComposite(CControl *control)
{
    return qobject_cast<CComposite *>(control);
}
} // namespace

MModel::MModel(QObject *parent) : QObject(parent), m_transfer(new MTransfer(this)), m_setupMenu(this)
{
    connect(m_transfer, &MTransfer::warning, this, &MModel::warning);
    connect(m_transfer, &MTransfer::message, this, &MModel::displayMessage);
    // Receive mode keeps the devices as they are but asks them nothing;
    // ending without a file, polling goes on.
    connect(m_transfer, &MTransfer::receivingChanged, this, [this](bool receiving) {
        if (receiving)
            m_pollTimer.stop();
        else if (m_online)
            m_pollTimer.start();
    });
    m_extraRefreshTimer.setSingleShot(true);
    m_extraRefreshTimer.setInterval(100);
    connect(&m_extraRefreshTimer, &QTimer::timeout, this, &MModel::onExtraRefreshTimerTimeout);
}

MModel::~MModel()
{
    // The interfaces belong to their devices; only the links go here.
    if (m_interfaces)
        m_interfaces->clear();
    delete m_interfaces;
    // Devices still online report going offline as the tree goes below.
    m_interfaces = nullptr;
    // The document's widgets live in the scene; take them down while it
    // still exists, then the trees.
    if (m_document) {
        m_document->destroyWidgets();
        m_document->deactivate();
    }
    delete m_document;
    delete m_hardware;
    delete m_project;
}

VQmlFrame *MModel::qmlView() const
{
    // Out of line: includers of this header need not know the view.
    return m_view;
}

MQmlInterface *MModel::qmlInterface() const
{
    return m_qml;
}

void MModel::setCanvas(CCanvas *canvas)
{
    m_canvas = canvas;
}

void MModel::setQmlView(VQmlFrame *view)
{
    m_view = view;
    m_qml = view ? view->qmlInterface() : nullptr;
    if (m_qml)
        m_qml->setModel(this);
}

void MModel::initialize()
{
    if (!m_hardware)
        m_hardware = new HRoot;
    if (!m_interfaces)
        m_interfaces = new IComposite;
    if (!m_document)
        m_document = new CComposite(QString(), ScenesType);
    if (!m_project)
        m_project = new MProject;

    m_pollTimer.stop();
    m_pollTimer.setObjectName(QStringLiteral("polling"));
    m_pollTimer.setInterval(250);
    connect(&m_pollTimer, &QTimer::timeout, this, &MModel::doPolling, Qt::UniqueConnection);

    // Widgets are made in the scene's context, under its canvas item.
    WWidgetFactory *factory = WDelegate::instance()->factory();
    factory->setModel(this);
    if (m_view) {
        factory->setContext(m_view->rootContext());
        factory->setParent(controlArea());
        QQuickItem *root = m_view->rootObject();
        connect(this, &MModel::reloadCanvas, root, [root] { QMetaObject::invokeMethod(root, "reloadCanvas"); });
        connect(this, &MModel::resetCanvas, root, [root] { QMetaObject::invokeMethod(root, "resetCanvas"); });
        // The receive box's Cancel goes through the bridge object, as the
        // scene's own dialogs do.
        DQmlMessageDialog *dialog = m_view->messageDialog();
        m_transfer->setReceiveBoxHost(dialog);
        if (m_qml) {
            connect(dialog, &DQmlMessageDialog::receiveModeDialogClosed, m_qml,
                    &MQmlInterface::onReceiveModeDialogClosed, Qt::UniqueConnection);
            connect(m_qml, &MQmlInterface::receiveDialogCanceled, m_transfer, &MTransfer::cancelReceive,
                    Qt::UniqueConnection);
        }
    }
    m_transfer->setWindow(m_mainWindow);
    computeScales();
    emit selectState(false);
    emit ccpState(false);
}

// --- opening and closing -----------------------------------------------------------

QString MModel::designsFolder()
{
    QSettings settings{QLatin1String(USettings::Organisation), QLatin1String(USettings::Application)};
    QString folder = settings.value(QLatin1String(USettings::DesignsKey)).toString();
    // Never the file-system root: without a setting the received panels
    // live in the program's own data folder.
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/Designs");
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString MModel::startupFile()
{
    const QString folder = designsFolder();
    for (const char *name : {"/download.cpn", "/download.cpf"}) {
        const QString path = folder + QLatin1String(name);
        if (QFileInfo::exists(path))
            return path;
    }
    return QLatin1String(DemoFile);
}

QString MModel::receiveTarget()
{
    return designsFolder() + QStringLiteral("/download.cpn");
}

QString MModel::fileNameOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

bool MModel::loadPanelFile(const QString &path, QString *reason)
{
    QString panelPath = path;
    if (UArchive::isArchive(path)) {
        UArchive *archive = UArchive::instance();
        if (!archive->open(path)) {
            *reason = tr("The file is not a readable control panel archive.");
            return false;
        }
        panelPath = archive->memberPath(QStringLiteral(".cpf"));
        if (panelPath.isEmpty()) {
            *reason = tr("The archive holds no control panel file.");
            return false;
        }
        const QString design = archive->memberPath(QStringLiteral(".kvp"));
        if (design.isEmpty())
            m_hardware->clearDesign();
        else if (!m_hardware->loadDesign(design, m_project))
            qCWarning(lcApp) << "The design project of" << path << "could not be read completely.";
    }
    // The design project's information stands unless the panel file
    // brings its own.
    MProject panelProject;
    CPanelFile file(m_document, m_canvas, &panelProject, m_hardware);
    if (!file.read(panelPath)) {
        *reason = file.errorString();
        return false;
    }
    if (!panelProject.isEmpty())
        *m_project = panelProject;
    m_fileVersion = file.fileVersion();
    return true;
}

bool MModel::openFile(const QString &path)
{
    if (!m_hardware || !m_document)
        return false;
    if (m_document->childCount() > 0 || !m_filePath.isEmpty())
        closeDocument();

    QString reason;
    if (!loadPanelFile(path, &reason)) {
        closeDocument();
        emit warning(tr("Open Control Panel File"),
                     tr("The file %1 could not be opened.\n\n%2").arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    m_filePath = path;
    m_document->setName(fileNameOf(path));
    m_contentBounds = m_document->recordBounds();
    // Transforms for every control at once (cheap, and shared across
    // panels); widgets wait until their panel is shown.
    m_document->activate(m_document);

    rebuildInterfaces();
    applySkin();
    m_scene = asComposite(m_document->childAt(0));
    m_panel = nullptr;
    m_pageIndex = 0;
    if (m_mainWindow)
        m_mainWindow->resizeToCanvas();
    refreshScene();
    showPage(0);
    m_modified = false;
    emit enableConnection(hasControls());
    emit documentChanged(path);
    return true;
}

bool MModel::hasControls() const
{
    if (!m_document)
        return false;
    for (CControl *sceneControl : m_document->children()) {
        const CComposite *scene = asComposite(sceneControl);
        for (CControl *panel : scene ? scene->children() : QList<CControl *>()) {
            if (const CComposite *controls = asComposite(panel); controls && controls->childCount() > 0)
                return true;
        }
    }
    return false;
}

void MModel::closeDocument()
{
    if (m_online)
        setOnline(false);
    // The interfaces go with their devices: unlink them first.
    if (m_interfaces)
        m_interfaces->clear();
    hidePanel();
    if (m_document) {
        m_document->destroyWidgets();
        m_document->deactivate();
        m_document->clear();
    }
    if (m_hardware)
        m_hardware->clearDesign();
    if (m_project)
        m_project->clear();
    m_scene = nullptr;
    m_panel = nullptr;
    m_pageIndex = 0;
    m_filePath.clear();
    m_contentBounds = QRectF();
    emit selectState(false);
    emit ccpState(false);
    if (m_canvas)
        m_canvas->reset();
    if (m_mainWindow)
        m_mainWindow->resizeToCanvas();
    // Nothing of the closed file stays on the scene; the rows stay until
    // the next file names its own.
    setQml("headerTitle", QString());
    setQml("sceneTitle", QString());
    setQml("pageCount", 0);
    setQml("pageIndex", 0);
    emit resetCanvas();
    emit reloadCanvas();
    emit enableConnection(false);
    emit documentChanged(QString());
}

// --- scenes and pages --------------------------------------------------------------

CComposite *MModel::currentComposite() const
{
    return m_panel ? m_panel.data() : m_scene.data();
}

int MModel::pageCount() const
{
    return m_scene ? m_scene->childCount() : 0;
}

void MModel::hidePanel()
{
    if (!m_panel)
        return;
    m_panel->setStateRequestsEnabled(false);
    m_panel->setWidgetsVisible(false);
}

void MModel::layoutPanel(CComposite *panel)
{
    if (!panel || !m_document)
        return;
    QPointF offset;
    if (m_canvas && m_canvas->horizCenter() && !m_contentBounds.isNull())
        offset.setX((m_rootWidth - (2.0 * m_contentBounds.x() + m_contentBounds.width()) * m_viewScale) / 2.0);
    panel->layoutWidgets(m_viewScale, offset);
}

void MModel::showPanel(CComposite *panel, int index)
{
    if (!panel)
        return;
    if (panel != m_panel) {
        hidePanel();
        m_panel = panel;
        if (!panel->hasWidgets())
            panel->createWidgets(WDelegate::instance()->factory());
        layoutPanel(panel);
        panel->setWidgetsVisible(true);
    }
    m_pageIndex = index;
    setQml("pageIndex", index);
    setQml("pageCount", pageCount());
    if (m_online)
        startStateRequests();
    refreshScene();
    emit resetQMLFocus();
}

void MModel::showPage(int index)
{
    if (!m_scene || index < 0 || index >= m_scene->childCount())
        return;
    showPanel(asComposite(m_scene->childAt(index)), index);
}

void MModel::pageLeft()
{
    if (m_pageIndex > 0)
        showPage(m_pageIndex - 1);
}

void MModel::pageRight()
{
    if (m_pageIndex + 1 < pageCount())
        showPage(m_pageIndex + 1);
}

CComposite *MModel::findPanel(const QString &name) const
{
    if (!m_document)
        return nullptr;
    for (CControl *sceneControl : m_document->children()) {
        CComposite *scene = asComposite(sceneControl);
        if (!scene)
            continue;
        if (CComposite *panel = asComposite(scene->child(name)))
            return panel;
    }
    return nullptr;
}

bool MModel::showSceneOrPanel(const QString &name)
{
    if (!m_document)
        return false;
    // Links name a panel of a particular scene as "Scene/Panel".
    const int slash = int(name.indexOf(QLatin1Char('/')));
    if (slash > 0) {
        CComposite *scene = asComposite(m_document->child(name.left(slash)));
        if (CComposite *panel = scene ? asComposite(scene->child(name.mid(slash + 1))) : nullptr) {
            m_scene = scene;
            showPanel(panel, scene->children().indexOf(panel));
            return true;
        }
    }
    if (CComposite *scene = asComposite(m_document->child(name))) {
        m_scene = scene;
        if (scene->childCount() > 0) {
            showPage(0);
        } else {
            // A scene without panels shows none, not the last scene's.
            hidePanel();
            m_panel = nullptr;
            m_pageIndex = 0;
            refreshScene();
        }
        return true;
    }
    CComposite *panel = findPanel(name);
    if (!panel)
        return false;
    m_scene = panel->parentComposite();
    showPanel(panel, m_scene ? m_scene->children().indexOf(panel) : 0);
    return true;
}

void MModel::followLink(const QString &panelName)
{
    CComposite *previous = m_panel;
    if (!showSceneOrPanel(panelName)) {
        if (previous)
            previous->setWidgetsVisible(true);
        emit warning(tr("Warning"), tr("Error - No link has been defined for this region.\n\n"
                                       "Please set a link using the properties panel."));
    }
    emit reloadCanvas();
}

// --- editing -----------------------------------------------------------------------

bool MModel::dropOnSite(WWidget *site, const QString &text, const QString &data)
{
    CControl *siteControl = site ? site->control() : nullptr;
    CComposite *panel = siteControl ? siteControl->parentComposite() : nullptr;
    if (!panel || !site->acceptDrop(text, data))
        return false;
    HNode *node = WDropSite::draggedNode(m_hardware, data);
    CControl *made = node ? XControlHandler::readControl(node->templatePath(), text) : nullptr;
    if (!made) {
        qCWarning(lcApp) << "The template of" << text << "gives no control; nothing was dropped.";
        return false;
    }
    made->setNode(node);
    made->placeFileGeometry(siteControl->recordBounds());
    panel->addChild(made);
    made->activate(m_document);
    if (panel->hasWidgets()) {
        made->createWidgets(WDelegate::instance()->factory());
        layoutPanel(panel);
        made->setWidgetsVisible(panel == m_panel);
    }
    site->attachControl(made);
    m_modified = true;
    emit enableConnection(true);
    if (m_mainWindow)
        m_mainWindow->resizeToCanvas();
    return true;
}

void MModel::removeControl(CControl *control)
{
    CComposite *composite = control ? control->parentComposite() : nullptr;
    if (!composite)
        return;
    control->destroyWidgets();
    control->deactivate();
    composite->takeChild(control);
    // It may be the control whose gesture led here.
    control->deleteLater();
    m_modified = true;
    if (m_document && !m_document->findByType(QStringLiteral("Controls")))
        emit enableConnection(false);
    if (m_mainWindow)
        m_mainWindow->resizeToCanvas();
}

// --- scene properties ----------------------------------------------------------------

void MModel::setQml(const char *name, const QVariant &value)
{
    if (m_qml)
        m_qml->setProperty(name, value);
}

QString MModel::headerText() const
{
    if (m_canvas && !m_canvas->text().isEmpty())
        return m_canvas->text();
    if (m_project && !m_project->facilityName().isEmpty()
        && m_project->facilityName() != QLatin1String(MProject::DefaultFacility))
        return m_project->facilityName();
    return m_document ? QFileInfo(m_document->name()).completeBaseName() : QString();
}

void MModel::refreshScene()
{
    if (m_canvas) {
        setQml("topRow", m_canvas->topRow());
        setQml("bottomRow", m_canvas->bottomRow());
    }
    computeScales();
    setQml("pageCount", pageCount());
    setQml("pageIndex", m_pageIndex);
    setQml("sceneTitle", m_panel ? m_panel->name() : (m_scene ? m_scene->name() : QString()));
    setQml("headerTitle", headerText());
}

QQuickItem *MModel::controlArea() const
{
    QQuickItem *root = m_view ? m_view->rootObject() : nullptr;
    if (!root)
        return nullptr;
    QQuickItem *area = root->findChild<QQuickItem *>(QStringLiteral("controlArea"));
    return area ? area : root;
}

void MModel::computeScales()
{
    // Panels are laid out in the area between the tool bar and the status
    // bar, whose rows a panel file may switch off.
    QQuickItem *root = controlArea();
    if (!m_qml || !root)
        return;
    float m = m_qml->property("maxControlHeight").toFloat();
    const QRectF content = m_contentBounds;
    if (content.height() > 0)
        m = float(2.0 * content.y() + content.height());
    const float previousScale = m_viewScale;
    const double previousWidth = m_rootWidth;
    m_rootWidth = root->width();
    m_rootHeight = root->height();
    if (m_rootHeight <= 0 || m <= 0)
        return;
    m_viewScale = float(m_rootHeight / m);
    // Content scaled to the height must still fit the width, margins
    // included, or its right-hand controls would be cut off.
    const double contentWidth = content.isNull() ? 0.0 : 2.0 * content.x() + content.width();
    if (contentWidth > 0 && m_rootWidth > 0 && contentWidth * m_viewScale > m_rootWidth)
        m_viewScale = float(m_rootWidth / contentWidth);
    setQml("viewScale", m_viewScale);
    WDelegate::instance()->setAspect(m_canvas ? m_canvas->aspect() : 1.0f);
    WDelegate::instance()->setViewScale(m_viewScale);
    if (m_document && (m_viewScale != previousScale || m_rootWidth != previousWidth)) {
        for (CControl *sceneControl : m_document->children()) {
            if (CComposite *scene = asComposite(sceneControl)) {
                for (CControl *panel : scene->children()) {
                    if (panel->hasWidgets())
                        layoutPanel(asComposite(panel));
                }
            }
        }
    }
    setQml("textSize", int(12 * m_viewScale));
    setQml("pixelScale", m_viewScale);
}

void MModel::applySkin()
{
    if (!m_canvas || !m_qml)
        return;
    m_appliedSkin = XSkinHandler::loadSkin(m_canvas->skin(), m_qml);
    m_appliedAccent = XSkinHandler::loadAccent(m_canvas->accent(), m_qml);
    // The skin names its red lamp; keep the lamp that the devices call for.
    if (!m_connectIndicator.isEmpty())
        interfaceStatusChanged(true);
}

bool MModel::getIsScaleMultiply() const
{
    return m_canvas ? m_canvas->multiplyScaleFactor() : true;
}

void MModel::onExtraRefreshTimerTimeout()
{
    refreshScene();
}

// --- online ------------------------------------------------------------------------------

QString MModel::indicatorImage(int connected, int count)
{
    if (connected == 0)
        return QStringLiteral("/indicator_red.png");
    if (connected == count && count > 0)
        return QStringLiteral("/indicator_grn.png");
    return QStringLiteral("/indicator_ylw.png");
}

QList<HChassis *> MModel::devices() const
{
    QList<HNode *> nodes;
    if (m_hardware)
        m_hardware->collectByCategory(ChassisCategory, nodes);
    QList<HChassis *> chassis;
    for (HNode *node : std::as_const(nodes)) {
        if (auto *c = qobject_cast<HChassis *>(node))
            chassis << c;
    }
    return chassis;
}

void MModel::setOnline(bool online)
{
    if (!m_hardware)
        return;
    // Stored first: an interface that reports its state while it is being
    // switched must already see the new intent.
    m_online = online;
    for (HChassis *chassis : devices()) {
        chassis->setOnline(online);
        IInterface *interface = chassis->interface();
        if (!interface)
            continue;
        // A device whose connection the panel file does not record gets its
        // interface only now: the indicator must count it too.
        if (m_interfaces)
            m_interfaces->add(interface);
        connect(interface, &IInterface::interfaceStateChanged, this, &MModel::interfaceStatusChanged,
                Qt::UniqueConnection);
        if (PProtocol *protocol = chassis->protocol()) {
            // A value being sent postpones the next poll.
            connect(protocol, &PProtocol::aboutToSendValue, &m_pollTimer, qOverload<>(&QTimer::start),
                    Qt::UniqueConnection);
        }
    }
    CComposite *current = currentComposite();
    if (online) {
        m_pollTimer.start(250);
        m_pollingActive = true;
        if (current)
            current->setStateRequestsEnabled(true);
    } else {
        m_pollTimer.stop();
        m_pollingActive = false;
        if (current)
            current->setStateRequestsEnabled(false);
    }
    m_hardware->setOnline(online);
    interfaceStatusChanged(online);
    emit onlineChanged(online);
}

void MModel::rebuildInterfaces()
{
    if (!m_hardware || !m_interfaces)
        return;
    m_interfaces->clear();
    for (HChassis *chassis : devices()) {
        if (IInterface *interface = chassis->interface())
            m_interfaces->add(interface);
    }
    m_interfaces->notifyState();
}

void MModel::startStateRequests()
{
    if (CComposite *current = currentComposite()) {
        current->setStateRequestsEnabled(true);
        current->requestState();
    }
}

void MModel::doPolling()
{
    m_pollingActive = true;
    if (CComposite *current = currentComposite()) {
        current->setStateRequestsEnabled(true);
        current->requestState();
    }
}

void MModel::interfaceStatusChanged(bool isConnected)
{
    const int count = m_interfaces ? m_interfaces->count() : 0;
    const int connected = m_interfaces ? m_interfaces->connectedCount() : 0;
    const QString skin = m_appliedSkin.isEmpty() && m_canvas ? m_canvas->skin() : m_appliedSkin;
    m_connectIndicator = QStringLiteral("../../images/skins/") + skin + indicatorImage(connected, count);
    setQml("connectInd", m_connectIndicator);
    if (!m_transfer->isReceiving())
        emit changedStatusIndicator();
    // A device lost while the program stays online is connected again;
    // going offline on purpose reports false too, and must not.
    if (!isConnected && m_online && m_interfaces)
        m_interfaces->reconnect();
}

void MModel::applicationStateChanged(Qt::ApplicationState state)
{
    // On the desktop another window taking the focus does not make the
    // devices go quiet: the engineer often watches the panel beside other
    // tools.
    qCDebug(lcApp) << "Application state" << state;
}

void MModel::aboutToQuit()
{
    // The window owns the model; quitting ends the transfers and takes the
    // devices offline.
    m_transfer->cancelReceive();
    m_transfer->abortSend();
    if (m_online)
        setOnline(false);
}

// --- transfers -----------------------------------------------------------------------

int MModel::sendToMobile()
{
    if (!m_document || !m_hardware || m_transfer->isBusy())
        return 0;
    // On the phone the setup menu is the only way out of a panel.
    const bool toolBar = m_canvas
                         && (m_canvas->topRow().contains(QLatin1String("ToolBar"))
                             || m_canvas->bottomRow().contains(QLatin1String("ToolBar")));
    if (!toolBar && !m_document->findByType(QStringLiteral("SettingsButton"))) {
        emit warning(tr("Error: "), tr("The Canvas does not include a toolbar and a\nSetup Button was not found in "
                                       "any of the panels.\nThe project must contain a Setup Button, or else\n"
                                       "downloading a control panel will not be possible."));
        return 0;
    }
    if (m_filePath.isEmpty() || m_modified) {
        emit warning(tr("Warning"), tr("Please Save before Sending to Mobile Device"));
        return 0;
    }
    DDownloadDialog dialog(m_mainWindow);
    dialog.setAddress(m_transfer->mobileAddress());
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    m_transfer->setMobileAddress(dialog.address());
    return m_transfer->send(m_filePath, dialog.address()) ? 1 : 0;
}

void MModel::receivePanel()
{
    const QString target = receiveTarget();
    // The poll timer rests while receive mode waits (see initialize()).
    if (m_transfer->receive(target, m_setupMenu.receiveBoxText()) && openFile(target)) {
        showPage(0);
        setOnline(true);
        rebuildInterfaces();
        startStateRequests();
    }
    emit changedStatusIndicator();
}
