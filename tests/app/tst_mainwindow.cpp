#include "../ModelScene.h"
#include "DDownloadDialog.h"
#include "DQmlMessageDialog.h"
#include "HRoot.h"
#include "MQmlInterface.h"
#include "MTransfer.h"
#include "MainWindow.h"
#include "USettings.h"

class tst_MainWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainWindow> w;
    QList<QUrl> shellUrls;
    QString boxText;

    static QStringList actionTexts(const QList<QAction *> &actions)
    {
        QStringList out;
        for (QAction *a : actions) {
            out << (a->isSeparator() ? QStringLiteral("|") : a->text());
            if (a->menu())
                out += actionTexts(a->menu()->actions());
        }
        return out;
    }
    void answerNextMessageBox()
    {
        whenModal<QMessageBox>(w.get(), [this](QMessageBox *box) {
            boxText = box->text();
            box->accept();
        });
    }

public slots:
    // Takes the URLs that Help Topics hands to the desktop shell.
    void openInShell(const QUrl &url) { shellUrls << url; }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { w = std::make_unique<MainWindow>(); }
    void cleanup() { w.reset(); }

    void menusAndToolBar()
    {
        QCOMPARE(actionTexts(w->menuBar()->actions()),
                 (QStringList{"&File", "&Open Remote app File...", "|", "E&xit", "&Tools", "&Go Online...", "|",
                              "&Send to Mobile Device...", "&Help", "&Help Topics...", "|",
                              "&About Korvel Remote admin..."}));
        auto *toolBar = w->findChild<QToolBar *>("mainToolBar");
        QCOMPARE(actionTexts(toolBar ? toolBar->actions() : QList<QAction *>()),
                 (QStringList{"&Open Remote app File...", "|", "&Go Online...", "|", "&Send to Mobile Device..."}));
        for (QAction *a : {w->openAction(), w->goOnlineAction(), w->sendAction()})
            QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
        // The demonstration panel is open at start: there is something to connect to; without a document there is not.
        QVERIFY(w->goOnlineAction()->isCheckable() && w->goOnlineAction()->isEnabled());
        w->model()->closeDocument();
        QVERIFY(!w->goOnlineAction()->isEnabled() && !w->sendAction()->isEnabled());
        // Go Online follows the model and ends with the window.
        w->show();
        w->model()->setOnline(true);
        QVERIFY(w->goOnlineAction()->isChecked());
        w->model()->setOnline(false);
        QVERIFY(!w->goOnlineAction()->isChecked());
        w->setConnectionEnabled(true);
        w->goOnlineAction()->setChecked(true);
        QVERIFY(w->close() && !w->goOnlineAction()->isChecked());
    }

    void fixedSizeShowsTheWholeCanvas()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        // The canvas ends above the status bar: the page arrows and dots at its bottom are not cut off.
        auto *splitter = w->findChild<QSplitter *>();
        QCOMPARE(splitter->size(), QSize(w->canvas().width(), w->canvas().height()));
        const int canvasBottom = splitter->mapTo(w.get(), QPoint(0, splitter->height())).y();
        QVERIFY(w->statusBar()->isVisible() && canvasBottom <= w->statusBar()->geometry().top());
        QVERIFY(canvasBottom <= w->centralWidget()->geometry().bottom() + 1);
        // A larger screen grows the window with it; the user cannot resize it.
        w->canvas().setSize(12.0f);
        w->resizeToCanvas();
        const QSize grown = w->size();
        w->resize(1000, 1000);
        QCOMPARE(grown.width(), w->canvas().width() + 2);
        QCOMPARE((QList<QSize>{w->size(), w->minimumSize(), w->maximumSize()}), QList<QSize>(3, grown));
    }

    void openStoresFolderAndTitleAndShowsTheFilesRows()
    {
        QCOMPARE((QStringList{MainWindow::windowTitleFor("C:/x/Panel.cpz", true),
                              MainWindow::windowTitleFor("Panel.cpz", true),
                              MainWindow::windowTitleFor("C:/x/Panel.cpz", false)}),
                 (QStringList{"Korvel Remote admin - Panel.cpz", "Korvel Remote admin - ", "Korvel Remote admin"}));
        w->setApplication(qApp);
        // The first title names no file, though the demonstration is open.
        QCOMPARE(w->windowTitle(), "Korvel Remote admin - ");
        QVERIFY(w->model()->document()->childCount() > 0);
        // A second file shows its own rows.
        w->show();
        w->openFile(KVR_TEST_DATA "/panels/Foyer.cpf");
        QQuickItem *root = w->view()->rootObject();
        QTRY_VERIFY(!root->findChild<QQuickItem *>("setupButton"));
        QTemporaryDir dir;
        const QString path = packed(dir.path(), panelAndDesign(KVR_TEST_DATA "/panels/Conference"));
        w->openFile(path);
        QTRY_VERIFY(root->findChild<QQuickItem *>("setupButton"));
        QTRY_VERIFY(root->findChild<QQuickItem *>("topRow")->height() > 0);
        QVERIFY(!w->model()->hardwareRoot()->designFile().isEmpty());
        const int chrome = w->height() - w->canvas().height();
        std::unique_ptr<QSettings> settings(USettings::create());
        QCOMPARE((QStringList{w->windowTitle(), w->filePath(), settings->value(USettings::PanelsKey).toString(),
                              settings->organizationName(), settings->applicationName()}),
                 (QStringList{"Korvel Remote admin - Conference.cpz", path, dir.path() + "/", "Halvern",
                              "Korvel Remote admin 3.0"}));
        // A broken file: one warning naming it, nothing half open, the design gone too; the title and the size describe
        // what is shown: nothing. The folder stays.
        const QString broken = dir.path() + "/Broken.cpf";
        QVERIFY(transfertest::writeFile(broken, "<KVD><Scenes><Scene name=\"A\">"));
        answerNextMessageBox();
        w->openFile(broken);
        QVERIFY(boxText.contains("Broken.cpf"));
        QCOMPARE((QStringList{w->windowTitle(), w->filePath(), settings->value(USettings::PanelsKey).toString(),
                              w->model()->hardwareRoot()->designFile()}),
                 (QStringList{"Korvel Remote admin - ", "", dir.path() + "/", ""}));
        QCOMPARE(w->canvas().aspect(), 1.7777778f);
        QCOMPARE(w->size(), QSize(w->canvas().width() + 2, w->canvas().height() + chrome));
        QVERIFY(w->model()->document()->childCount() == 0 && !w->goOnlineAction()->isEnabled());
    }

    void helpTopics()
    {
        const QString path = MainWindow::helpFilePath();
        QVERIFY(path.endsWith("/Help/KVRAdmin_Help.html") && !QFile::exists(path));
        QDesktopServices::setUrlHandler("file", this, "openInShell");
        answerNextMessageBox();
        w->helpTopics();
        QVERIFY(boxText.contains(path) && shellUrls.isEmpty());
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()) && transfertest::writeFile(path, "<html></html>"));
        w->helpTopics();
        QCOMPARE(shellUrls, QList<QUrl>{QUrl::fromLocalFile(path)});
        QFile::remove(path);
        QDesktopServices::unsetUrlHandler("file");
    }

    void sendSendsTheOpenFileToTheAddressGiven()
    {
        transfertest::ListeningPeer phone;
        QVERIFY(phone.listen());
        MTransfer *transfer = w->model()->transfer();
        transfer->setPort(phone.port());
        transfer->setMobileAddress(QHostAddress("192.168.0.1"));
        // The dialog shows the address used last and refuses one no phone has.
        QList<int> shown;
        bool refusedNoAddress = false;
        whenModal<DDownloadDialog>(w.get(), [&](DDownloadDialog *dialog) {
            for (int i = 1; i <= 4; ++i)
                shown << dialog->field(i)->value();
            dialog->setAddress(QHostAddress("0.0.0.0"));
            dialog->finalize();
            refusedNoAddress = dialog->isVisible() && dialog->findChild<QLabel *>("problem")->isVisible();
            dialog->setAddress(QHostAddress::LocalHost);
            dialog->finalize();
        });
        QString progress;
        connect(transfer, &MTransfer::sendProgress, this, [&] {
            if (auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget()))
                progress = dialog->findChild<QLabel *>()->text() + "|" + dialog->findChild<QPushButton *>()->text();
        });
        QVERIFY(w->sendAction()->isEnabled());
        w->sendAction()->trigger();
        disconnect(transfer, &MTransfer::sendProgress, this, nullptr);
        QCOMPARE(shown, (QList<int>{192, 168, 0, 1}));
        QVERIFY(refusedNoAddress);
        QCOMPARE(progress, "Sending to Mobile Device...|Abort");
        // The phone gets the archive, design and images included, not the panel file taken out of it.
        QTRY_VERIFY_WITH_TIMEOUT(phone.closed, transfertest::Timeout);
        QCOMPARE(phone.received, transfertest::readFile(":/data/Korvel/Demo.cpz"));
        QVERIFY(w->statusBar()->currentMessage().startsWith("Sent Demo.cpz to 127.0.0.1"));
        QCOMPARE(MTransfer().mobileAddress(), QHostAddress(QHostAddress::LocalHost));
    }

    void receiveModeHoldsTheActionsAndClosingEndsIt()
    {
        w->show();
        MTransfer *transfer = w->model()->transfer();
        transfer->setPort(0);
        bool heldDuringReceive = false, boxShown = false;
        connect(transfer, &MTransfer::receivingChanged, this, [&](bool receiving) {
            if (!receiving)
                return;
            heldDuringReceive = !w->openAction()->isEnabled() && !w->sendAction()->isEnabled()
                                && !w->goOnlineAction()->isEnabled() && w->exitAction()->isEnabled();
            // The box waits for the user, over the window.
            QTimer::singleShot(0, w.get(), [&] {
                QMessageBox *box = w->view()->messageDialog()->receiveBox();
                boxShown = box && box->isVisible() && w->frameGeometry().contains(box->geometry().center())
                           && transfer->isReceiving();
                w->close();
            });
        });
        QTimer::singleShot(transfertest::Timeout, transfer, &MTransfer::cancelReceive);
        QVERIFY(w->model()->qmlInterface()->postCommand("system", "Receive"));
        QVERIFY(heldDuringReceive && boxShown && !transfer->isReceiving());
        QVERIFY(w->openAction()->isEnabled() && w->sendAction()->isEnabled());
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
