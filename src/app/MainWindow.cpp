#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "KvrLogging.h"
#include "MModel.h"
#include "MQmlInterface.h"
#include "MTransfer.h"
#include "WDelegate.h"
#include "USettings.h"
#include "VModeManager.h"
#include "VQmlFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

const char *const MainWindow::ApplicationTitle = "Korvel Remote admin";
const char *const MainWindow::TranslationFile = ":/Desktop/Admin/translators/translate_en.qm";

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    m_startTimer.start();
    ui->setupUi(this);
    // The window's size is fixed: a grip would promise otherwise.
    statusBar()->setSizeGripEnabled(false);

    // A missing translation is installed anyway; it then has no effect.
    if (!m_translator.load(QLatin1String(TranslationFile)))
        qCDebug(lcApp) << "Translation" << TranslationFile << "not loaded.";
    QCoreApplication::installTranslator(&m_translator);

    m_settings = USettings::create();

    createActions();
    createMenus();
    createToolBar();
    createCentralArea();
    createModel();

    connect(VModeManager::instance(), &VModeManager::modalChanged, this,
            &MainWindow::setModalActive);

    resizeToCanvas();
    // A newcomer sees panels at once: the panel received last, else the
    // built-in demonstration.
    m_model->openFile(MModel::startupFile());
}

MainWindow::~MainWindow()
{
    delete m_fileMenu;
    delete m_toolsMenu;
    delete m_helpMenu;
    // The model's document has items in the scene: it goes before the view.
    delete m_model;
    m_model = nullptr;
    if (WDelegate::instance()->mainWindow() == this)
        WDelegate::instance()->setMainWindow(nullptr);
    // The window container owns the view; deleting it deletes the view.
    delete m_container;
    m_view = nullptr;
    delete m_settings;
    delete m_splitter;
    delete ui;
    QCoreApplication::removeTranslator(&m_translator);
}

void MainWindow::setApplication(QApplication *application)
{
    m_application = application;
    setTitleForPath(QString());
}

QString MainWindow::windowTitleFor(const QString &path, bool withModel)
{
    QString title = QLatin1String(ApplicationTitle);
    if (withModel) {
        const int slash = path.lastIndexOf(QLatin1Char('/'));
        title += QStringLiteral(" - ") + (slash < 0 ? QString() : path.mid(slash + 1));
    }
    return title;
}

void MainWindow::setTitleForPath(const QString &path)
{
    setWindowTitle(windowTitleFor(path, m_model != nullptr));
}

QString MainWindow::helpFilePath()
{
#ifdef Q_OS_WIN
    const QString extension = QStringLiteral(".chm");
#else
    const QString extension = QStringLiteral(".html");
#endif
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Help/")
           + QStringLiteral("KVRAdmin_Help") + extension;
}

void MainWindow::createActions()
{
    m_openAction = new QAction(QIcon(QStringLiteral(":/images/OpenRemoteAppFile.png")),
                               tr("&Open Remote app File..."), this);
    connect(m_openAction, &QAction::triggered, this, &MainWindow::openVC);

    m_exitAction = new QAction(tr("E&xit"), this);
    connect(m_exitAction, &QAction::triggered, this, &MainWindow::exit);

    m_goOnlineAction = new QAction(QIcon(QStringLiteral(":/images/GoOnline.png")),
                                   tr("&Go Online..."), this);
    m_goOnlineAction->setCheckable(true);
    connect(m_goOnlineAction, &QAction::triggered, this, &MainWindow::toggleConnection);
    connect(m_goOnlineAction, &QAction::toggled, this, &MainWindow::connectionToggled);

    m_sendAction = new QAction(QIcon(QStringLiteral(":/images/SendToDevice.png")),
                               tr("&Send to Mobile Device..."), this);
    connect(m_sendAction, &QAction::triggered, this, &MainWindow::sendVC);

    m_aboutAction = new QAction(tr("&About Korvel Remote admin..."), this);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::aboutVC);

    m_helpTopicsAction = new QAction(tr("&Help Topics..."), this);
    connect(m_helpTopicsAction, &QAction::triggered, this, &MainWindow::helpTopics);

    // Nothing to connect to until a document is open.
    setConnectionEnabled(false);
}

void MainWindow::createMenus()
{
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->addAction(m_openAction);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_exitAction);

    m_toolsMenu = menuBar()->addMenu(tr("&Tools"));
    m_toolsMenu->addAction(m_goOnlineAction);
    m_toolsMenu->addSeparator();
    m_toolsMenu->addAction(m_sendAction);

    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_helpMenu->addAction(m_helpTopicsAction);
    m_helpMenu->addSeparator();
    m_helpMenu->addAction(m_aboutAction);
}

void MainWindow::createToolBar()
{
    auto *toolBar = findChild<QToolBar *>(QStringLiteral("mainToolBar"));
    if (!toolBar)
        return;
    toolBar->addAction(m_openAction);
    toolBar->addSeparator();
    toolBar->addAction(m_goOnlineAction);
    toolBar->addSeparator();
    toolBar->addAction(m_sendAction);
}

void MainWindow::createCentralArea()
{
    m_view = new VQmlFrame;
    m_splitter = new QSplitter(ui->centralWidget);
    m_container = QWidget::createWindowContainer(m_view, this);
    if (!m_container) {
        delete m_view;
        m_view = nullptr;
        return;
    }
    m_container->setMinimumSize(200, 200);
    m_container->setFocusPolicy(Qt::TabFocus);
    m_view->registerTypesAndSetup();
    m_view->setSetupMenuEntries({{QStringLiteral("IP Address"), tr("IP Address...")},
                                 {QStringLiteral("Network Status"), tr("Network Status...")},
                                 {QStringLiteral("Project Information"), tr("Project Information...")},
                                 {QStringLiteral("About"), tr("About Korvel Remote...")},
                                 {QStringLiteral("Receive"), tr("Receive Control Panel...")},
                                 {QStringLiteral("Exit"), tr("Exit")}});
    m_canvas.loadDesktop(m_view);
    m_splitter->addWidget(m_container);
    // How long a start takes until the first panel is on screen.
    // The signal may come from the render thread and arrive more than once.
    connect(m_view, &QQuickWindow::frameSwapped, this, [this] {
        if (m_startTimer.isValid() && m_model && m_model->currentPanel()) {
            qCDebug(lcApp) << "First panel drawn" << m_startTimer.elapsed() << "ms after the window was created.";
            m_startTimer.invalidate();
        }
    });
}

void MainWindow::createModel()
{
    m_model = new MModel;
    connect(m_model, &MModel::resetQMLFocus, this, &MainWindow::resetQMLFocus);
    connect(m_model, &MModel::enableConnection, this, &MainWindow::setConnectionEnabled);
    connect(m_model, &MModel::warning, this, &MainWindow::showWarning);
    connect(m_model, &MModel::documentChanged, this, &MainWindow::showDocument);
    connect(m_model, &MModel::onlineChanged, this, [this](bool online) {
        const QSignalBlocker blocker(m_goOnlineAction);
        m_goOnlineAction->setChecked(online);
    });
    connect(m_model, &MModel::displayMessage, statusBar(), [this](const QString &text) {
        statusBar()->showMessage(text);
    });
    connect(m_model->transfer(), &MTransfer::busyChanged, this, &MainWindow::setTransferActive);
    m_model->setMainWindow(this);
    m_model->setCanvas(&m_canvas);
    if (m_view)
        m_model->setQmlView(m_view);
    m_model->initialize();
    if (MQmlInterface *intrf = m_model->qmlInterface())
        intrf->setProperty("rightClickEnable", false);
    WDelegate::instance()->setMainWindow(this);
}

void MainWindow::showWarning(const QString &title, const QString &text)
{
    QMessageBox::warning(this, title, text);
}

void MainWindow::showDocument(const QString &path)
{
    setTitleForPath(path);
    m_filePath = path;
}

void MainWindow::resizeToCanvas()
{
    if (!m_view)
        return;
    auto *bar = findChild<QMenuBar *>(QStringLiteral("menuBar"));
    auto *toolBar = findChild<QToolBar *>(QStringLiteral("mainToolBar"));
    if (!bar || !toolBar)
        return;
    // The status bar takes its height from the central area: counted, it
    // leaves the canvas whole, page arrows and all.
    auto *status = findChild<QStatusBar *>(QStringLiteral("statusBar"));
    const int statusHeight = status && !status->isHidden() ? status->sizeHint().height() : 0;
    const QSize fixed(m_canvas.width() + 2, m_canvas.height() + bar->sizeHint().height()
                                                + toolBar->sizeHint().height() + statusHeight + 4);
    resize(fixed);
    setMinimumSize(fixed);
    setMaximumSize(fixed);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_splitter) {
        m_splitter->move(0, 2);
        m_splitter->resize(m_canvas.width(), m_canvas.height());
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A QML dialog's or a transfer's local loop must end before the window
    // goes.
    cancelQmlDialog();
    endTransfers();
    goOffline();
    event->accept();
}

void MainWindow::resetQMLFocus()
{
    if (m_container)
        m_container->setFocus();
    if (m_view)
        m_view->requestActivate();
}

void MainWindow::cancelQmlDialog()
{
    VModeManager::instance()->cancel();
}

bool MainWindow::isOnline() const
{
    return m_model && m_model->isOnline();
}

void MainWindow::goOffline()
{
    if (isOnline())
        m_model->setOnline(false);
    const QSignalBlocker blocker(m_goOnlineAction);
    m_goOnlineAction->setChecked(false);
}

void MainWindow::openVC()
{
    if (!m_model || !m_settings)
        return;
    cancelQmlDialog();
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Open Control Panel File"), m_settings->value(QLatin1String(USettings::PanelsKey)).toString(),
        // Upper-case patterns too: file names from other systems keep their
        // case and some native dialogs match patterns case-sensitively.
        tr("Control Panel Files (*.cpz *.cpf *.CPZ *.CPF)"));
    if (!path.isEmpty())
        openFile(path);
    resetQMLFocus();
}

void MainWindow::openFile(const QString &path)
{
    goOffline();
    if (!m_model->openFile(path))
        return;
    m_model->showPage(0);
    if (m_settings)
        m_settings->setValue(QLatin1String(USettings::PanelsKey), path.left(path.lastIndexOf(QLatin1Char('/')) + 1));
}

void MainWindow::sendVC()
{
    if (!m_model)
        return;
    cancelQmlDialog();
    goOffline();
    m_model->sendToMobile();
    resetQMLFocus();
}

void MainWindow::endTransfers()
{
    if (m_model)
        m_model->aboutToQuit();
}

void MainWindow::exit()
{
    cancelQmlDialog();
    endTransfers();
    resetQMLFocus();
    goOffline();
    QCoreApplication::exit(0);
}

void MainWindow::toggleConnection()
{
    if (m_model) {
        const bool online = !m_model->isOnline();
        m_model->setOnline(online);
        m_model->rebuildInterfaces();
        if (online)
            m_model->startStateRequests();
    }
    const QSignalBlocker blocker(m_goOnlineAction);
    m_goOnlineAction->setChecked(isOnline());
}

void MainWindow::connectionToggled(bool)
{
    const QSignalBlocker blocker(m_goOnlineAction);
    m_goOnlineAction->setChecked(isOnline());
}

void MainWindow::aboutVC()
{
    if (!m_model)
        return;
    cancelQmlDialog();
    QMessageBox::about(this, tr("About"), m_model->versionText());
    resetQMLFocus();
}

void MainWindow::helpTopics()
{
    cancelQmlDialog();
    const QString path = helpFilePath();
    qCDebug(lcApp) << "Help File Name: " << path;
    if (!QFileInfo::exists(path)) {
        QMessageBox::warning(this, tr("Help"), tr("The help file was not found:\n%1").arg(path));
    } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        QMessageBox::warning(this, tr("Help"), tr("The help file could not be opened:\n%1").arg(path));
    }
    resetQMLFocus();
}

void MainWindow::setConnectionEnabled(bool enabled)
{
    m_connectionEnabled = enabled;
    updateActions();
}

void MainWindow::setModalActive(bool active)
{
    m_modalActive = active;
    updateActions();
}

void MainWindow::setTransferActive(bool active)
{
    m_transferActive = active;
    updateActions();
}

void MainWindow::updateActions()
{
    // While a QML dialog or a transfer runs its local loop, its caller is
    // still on the stack: nothing here may close the document under it.
    // Exit stays available; it cancels the dialog or the transfer first.
    const bool blocked = m_modalActive || m_transferActive;
    m_openAction->setEnabled(!blocked);
    m_aboutAction->setEnabled(!m_modalActive);
    m_helpTopicsAction->setEnabled(!m_modalActive);
    m_goOnlineAction->setEnabled(!blocked && m_connectionEnabled);
    m_sendAction->setEnabled(!blocked && m_connectionEnabled);
}
