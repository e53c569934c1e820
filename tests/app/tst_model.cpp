#include "../ModelScene.h"
#include "DDownloadDialog.h"
#include "DQmlMessageDialog.h"
#include "HChassis.h"
#include "HRoot.h"
#include "MProject.h"
#include "MQmlInterface.h"
#include "MTransfer.h"
#include "USettings.h"
#include "VModeManager.h"

using namespace transfertest;

namespace {
const char *const Demo = ":/data/Korvel/Demo.cpz";
const QString Fixtures = QStringLiteral(KVR_TEST_DATA "/archive");
const QString Foyer = QStringLiteral(KVR_TEST_DATA "/panels/Foyer.cpf");

// The one warning as "title|text", or how many came instead.
QString onlyWarning(const QSignalSpy &spy)
{
    return spy.count() == 1 ? spy[0][0].toString() + '|' + spy[0][1].toString()
                            : QString::number(spy.count()) + " warnings";
}
} // namespace

// The model as the window and the scene drive it: pages, links, skins, the setup menu, sending the open
// file to a phone and receive mode, with real peers on loopback.
class tst_Model : public QObject
{
    Q_OBJECT
    // Settings, designs and archives live here, so that a run leaves nothing in the user's own.
    QTemporaryDir home;
    QTemporaryDir designs;
    VQmlFrame *view = nullptr;
    ModelScene scene;
    MModel *model = nullptr;
    MQmlInterface *intrf = nullptr;
    MTransfer *transfer = nullptr;

    QVariant qml(const char *name) const { return intrf->property(name); }
    QString target() const { return MModel::receiveTarget(); }

private slots:
    void initTestCase()
    {
        qputenv("HOME", home.path().toLocal8Bit());
        QVERIFY(scene.setUp());
        view = scene.view;
        model = scene.model;
        intrf = view->qmlInterface();
        transfer = model->transfer();
        transfer->setPort(0);
        QSettings settings(USettings::Organisation, USettings::Application);
        settings.setValue(USettings::DesignsKey, designs.path());
        settings.setValue(USettings::ArchiveKey, home.path());
        QVERIFY(scene.show());
    }

    void openingTheDemoSetsTheSceneDrawsOnlyShownPagesAndPagesMove()
    {
        QVERIFY(model->openFile(Demo) && scene.show());
        // The design in the archive was read and labels name the nodes; the demo's exit PIN came with it.
        QVERIFY(qml("viewScale").toDouble() > 0.5 && model->hardwareRoot()->findByCategory("Chassis"));
        CControl *mute = model->currentPanel()->child("Mute");
        QVERIFY(mute && mute->node());
        QCOMPARE((QVariantList{model->currentScene()->name(), qml("pageCount"), qml("pageIndex"), qml("sceneTitle"),
                               qml("headerTitle"), qml("textSize").toInt(), mute->labelText(), MProject::exitPin()}),
                 (QVariantList{"Harbour Hall", 7, 0, "Overview", "Harbour Hall", int(12 * qml("viewScale").toFloat()),
                               "Programme", "1357"}));
        CComposite *pages = model->currentScene();
        const QImage first = view->grabWindow();
        QVERIFY(pages->childAt(0)->hasWidgets() && !pages->childAt(1)->hasWidgets());
        model->showPage(1);
        const QImage second = view->grabWindow();
        QVERIFY(pages->childAt(1)->hasWidgets());
        QVERIFY(distinctColours(first) > 20 && distinctColours(second) > 10 && first != second);
        // Going back hides, never rebuilds, the other panel.
        WWidget *shown = qobject_cast<CComposite *>(pages->childAt(1))->childAt(0)->firstWidget();
        model->showPage(0);
        QVERIFY(!shown->item()->isVisible());
        model->showPage(1);
        QCOMPARE(qobject_cast<CComposite *>(pages->childAt(1))->childAt(0)->firstWidget(), shown);
        QVERIFY(shown->item()->isVisible());
        // Pages stop at the ends; scenes and links move.
        model->showPage(0);
        QVERIFY(!intrf->postCommand("event", "leftarrow") || model->pageIndex() == 0);
        QCOMPARE(model->pageIndex(), 0);
        for (int i = 0; i < 9; ++i)
            QVERIFY(intrf->postCommand("event", "rightarrow"));
        QCOMPARE((QVariantList{model->pageIndex(), qml("pageIndex"), qml("sceneTitle")}),
                 (QVariantList{6, 6, "Telephone"}));
        QVERIFY(!intrf->postCommand("nothing", "x") && intrf->postCommand("scene", "Foyer"));
        QCOMPARE((QVariantList{model->currentScene()->name(), qml("pageCount")}), (QVariantList{"Foyer", 1}));
        QVERIFY(intrf->postCommand("scene", "Music"));
        QCOMPARE((QVariantList{model->currentScene()->name(), model->currentPanel()->name(), model->pageIndex()}),
                 (QVariantList{"Harbour Hall", "Music", 4}));
        // A link may lead into another scene.
        model->followLink("Foyer/Paging");
        QCOMPARE(model->currentPanel()->name(), "Paging");
    }

    void theDesignsProjectInformationStaysUnlessThePanelHasIts_data()
    {
        QTest::addColumn<QByteArray>("panel");
        QTest::addColumn<QString>("facility");
        const QByteArray panel = readFile(Fixtures + "/Lobby.cpf");
        QTest::newRow("panel with its own") << QByteArray(panel).replace("Harbour View Hotel", "Lobby Panel")
                                            << "Lobby Panel";
        const QRegularExpression project("\t<Project>.*</Project>\n", QRegularExpression::DotMatchesEverythingOption);
        QTest::newRow("panel without project") << QString(panel).remove(project).toUtf8() << "Harbour View Hotel";
    }
    void theDesignsProjectInformationStaysUnlessThePanelHasIts()
    {
        QFETCH(QByteArray, panel);
        QVERIFY(writeFile(scene.archives.filePath("Lobby.cpf"), panel));
        QVERIFY(scene.openPacked({scene.archives.filePath("Lobby.cpf"), Fixtures + "/Lobby.kvp"}));
        QTEST(model->project()->facilityName(), "facility");
        MProject::setExitPin(QString());
    }

    void sparseScenesAndSkins()
    {
        // Only the canvas, a panel without controls and a scene without panels.
        QTemporaryDir dir;
        const QByteArray text = readFile(KVR_TEST_DATA "/panels/Conference.cpf");
        const QString path = dir.filePath("Sparse.cpf");
        QVERIFY(writeFile(path, text.left(text.indexOf("<Scenes>"))
                                    + "<Scenes><Scene name=\"A\"><Panels><Panel name=\"P\" type=\"complete\">"
                                      "<Controls/></Panel></Panels></Scene><Scene name=\"B\"><Panels/></Scene></Scenes>"
                                      "</KVD>\n"));
        QVERIFY(model->openFile(Demo));
        QSignalSpy enable(model, &MModel::enableConnection);
        QVERIFY(model->openFile(path));
        // Skin "Dark", accent "Teal", which does not exist: the default accent. Here the skin's colours are drawn.
        QTRY_COMPARE(QColor(view->grabWindow().pixel(view->width() / 2, view->height() / 2)), QColor("#464949"));
        QCOMPARE((QVariantList{model->appliedSkin(), qml("accentColor").value<QColor>(),
                               qml("connectInd").toString().left(24)}),
                 (QVariantList{"Dark", QColor("#1D98D5"), "../../images/skins/Dark/"}));
        scene.canvas.setProperty("skin", "Sepia");
        model->applySkin();
        QCOMPARE(model->appliedSkin(), "Light");
        QTRY_COMPARE(QColor(view->grabWindow().pixel(view->width() / 2, view->height() / 2)), QColor("#FFFFFF"));
        // Nothing to operate: nothing to go online with or to send.
        QCOMPARE((QVariantList{enable.last().first(), model->currentPanel()->name()}), (QVariantList{false, "P"}));
        QVERIFY(intrf->postCommand("scene", "B") && !model->currentPanel());
        QCOMPARE((QVariantList{model->currentScene()->name(), qml("pageCount"), qml("sceneTitle")}),
                 (QVariantList{"B", 0, "B"}));
    }

    void setupMenuTexts()
    {
        QVERIFY(model->openFile(Demo));
        const QString report = model->networkStatusText();
        QVERIFY2(report.startsWith("Hall DSP - Offline") && report.contains("\n\nConference Endpoint - Offline")
                     && report.endsWith("\n\n"),
                 qPrintable(report));
        const QString info = intrf->getProjectInfoString();
        QVERIFY(info.contains("Harbour Hall") && info.contains("Maren Solberg") && intrf->getAppFunction() == 3);
        QVERIFY(intrf->getVersionText().startsWith("Version 3.0.6.0\n\n"));
        QVERIFY(!model->mobileAddressText().startsWith("127."));
        model->closeDocument();
        QCOMPARE(model->networkStatusText(), "No network information available.");
        // The report leaves out the PQX amplifiers, and only them.
        for (const auto &[title, label] : QList<QPair<QString, QString>>{
                 {"PQX520D", "Amp Rack"}, {"ZMP-30 (PQX hall)", "Hall DSP"}, {"PQX540D (Main)", "Main Amp"}}) {
            auto *chassis = new HChassis;
            chassis->setTitle(title);
            chassis->setLabel(label);
            model->hardwareRoot()->addNode(chassis);
        }
        QCOMPARE(model->networkStatusText(), "Hall DSP - Offline - Idle\n\n");
        model->closeDocument();
        // The tool bar's lamp: red with no device online, yellow with some.
        QStringList lamps{MModel::indicatorImage(0, 2), MModel::indicatorImage(1, 2), MModel::indicatorImage(0, 0)};
        QCOMPARE(lamps, (QStringList{"/indicator_red.png", "/indicator_ylw.png", "/indicator_red.png"}));
    }

    void exitAsksForThePinThenGoesOfflineWhileTheLoopRuns()
    {
        QSignalSpy pin(intrf, &MQmlInterface::showExitPasscodeDialog);
        MProject::setExitPin("2468");
        QVERIFY(intrf->postCommand("system", "Exit") && pin.count() == 1);
        // The scene asks for it; a wrong PIN keeps the program running.
        QQuickItem *field = nullptr;
        QTRY_VERIFY((field = view->rootObject()->findChild<QQuickItem *>("pinField")));
        field->setProperty("text", "1111");
        QMetaObject::invokeMethod(field, "accepted");
        QVERIFY(view->rootObject()->findChild<QQuickItem *>("pinField"));
        VModeManager::instance()->cancel();
        QTRY_VERIFY(!view->rootObject()->findChild<QQuickItem *>("pinField"));
        MProject::setExitPin(QString());
        model->closeDocument();
        QSignalSpy root(model->hardwareRoot(), &HRoot::onlineChanged);
        model->setOnline(true);
        model->setOnline(false);
        QCOMPARE(root, (QList<QVariantList>{{true}, {false}}));
        QVERIFY(!model->hardwareRoot()->isOnline());
        model->setOnline(true);
        bool offlineInLoop = false;
        connect(model, &MModel::onlineChanged, this, [&](bool online) {
            offlineInLoop = !online && QThread::currentThread()->loopLevel() > 0;
        });
        QTimer::singleShot(0, this, [this] { intrf->postCommand("system", "Exit"); });
        QTimer::singleShot(Timeout, this, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        disconnect(model, &MModel::onlineChanged, this, nullptr);
        QVERIFY(offlineInLoop && !model->isOnline());
    }

    void aFailedSendSaysWhyAndAbortStopsIt()
    {
        transfer->setPort(freePort());
        QSignalSpy warning(model, &MModel::warning);
        QVERIFY(!transfer->send(Demo, QHostAddress::LocalHost));
        const QString said = onlyWarning(warning);
        QVERIFY2(said.startsWith("Connection|Could not connect to: 127.0.0.1"), qPrintable(said));
        // Abort in the progress dialog stops the send.
        const QString path = designs.filePath("large.cpz");
        QVERIFY(writeFile(path, QByteArray(4 << 20, 'k')));
        ListeningPeer phone;
        QVERIFY(phone.listen());
        transfer->setPort(phone.port());
        QSignalSpy message(model, &MModel::displayMessage);
        connect(transfer, &MTransfer::sendProgress, this, [](qint64 sent) {
            auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            if (sent > 0 && progress)
                QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
        });
        QVERIFY(!transfer->send(path, QHostAddress::LocalHost));
        disconnect(transfer, &MTransfer::sendProgress, this, nullptr);
        QVERIFY(message.last().first().toString().startsWith("Aborted after 4096 of 4194304 bytes"));
        QTRY_VERIFY_WITH_TIMEOUT(phone.closed, Timeout);
        QVERIFY(phone.received.size() < 4 << 20);
    }

    void sendIsRefusedWithoutASetupMenuOrWhenModified_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("warning"); // title|text
        const QString save = "Warning|Please Save before Sending to Mobile Device";
        QTest::newRow("no tool bar, no setup button")
            << Foyer << false << "Error: |The Canvas does not include a toolbar and a\nSetup Button";
        QTest::newRow("edited, not saved") << Demo << true << save;
        QTest::newRow("no file open") << QString() << false << save;
    }
    void sendIsRefusedWithoutASetupMenuOrWhenModified()
    {
        QFETCH(QString, file);
        QFETCH(bool, modified);
        QFETCH(QString, warning);
        QVERIFY(model->openFile(file.isEmpty() ? QString(Demo) : file));
        if (file.isEmpty())
            model->closeDocument();
        model->setModified(modified);
        bool dialogShown = false;
        QObject watch;
        whenModal<DDownloadDialog>(&watch, [&](DDownloadDialog *dialog) {
            dialogShown = true;
            dialog->reject();
        });
        QSignalSpy warned(model, &MModel::warning);
        QCOMPARE(model->sendToMobile(), 0);
        const QString said = onlyWarning(warned);
        QVERIFY2(said.startsWith(warning) && !dialogShown, qPrintable(said));
    }

    void addressesNoDeviceHasAreRefused_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("usable");
        QTest::newRow("0.0.0.0") << "0.0.0.0" << false;
        QTest::newRow("broadcast") << "255.255.255.255" << false;
        QTest::newRow("multicast") << "224.0.0.1" << false;
        QTest::newRow("top of the range") << "223.255.255.254" << true;
    }
    void addressesNoDeviceHasAreRefused()
    {
        QFETCH(QString, address);
        QTEST(DDownloadDialog::addressProblem(QHostAddress(address)).isEmpty(), "usable");
        DDownloadDialog dialog;
        dialog.setAddress(QHostAddress(address));
        quint32 fields = 0;
        for (int i = 1; i <= 4; ++i)
            fields = fields << 8 | quint32(dialog.field(i)->value());
        QCOMPARE(QHostAddress(fields), QHostAddress(address));
    }

    void receiveOpensAPanelOrKeepsTheOldFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // Sent whole by a "peer" or by "nc", or stopped midway, then "cancel" in the box or the program "quit"s.
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason"); // of the one warning, empty for none
        const QByteArray demo = readFile(Demo);
        QTest::newRow("panel file") << readFile(Foyer) << "peer" << QString();
        QTest::newRow("archive through nc") << demo << "nc" << QString();
        QTest::newRow("nothing") << QByteArray() << "peer" << "Nothing was received.";
        QTest::newRow("XML of something else") << QByteArray("<?xml version=\"1.0\"?>\n<html><body>Hi</body></html>\n")
                                               << "peer" << "neither scenes nor a canvas";
        QTest::newRow("truncated archive") << demo.left(3000) << "peer" << "complete control panel archive";
        QTest::newRow("random bytes") << pattern(5000) << "peer" << "complete control panel archive";
        QTest::newRow("Cancel in the box") << demo << "cancel" << QString();
        QTest::newRow("the program quits") << demo << "quit" << QString();
    }
    void receiveOpensAPanelOrKeepsTheOldFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, how);
        QFETCH(QString, reason);
        const QString nc = netcat();
        if (how == "nc" && nc.isEmpty())
            QSKIP("nc is not installed");
        const bool whole = how == "peer" || how == "nc";
        const bool opens = whole && reason.isEmpty();
        QVERIFY(writeFile(target(), "old panel") && writeFile(designs.filePath("outgoing"), bytes));
        QVERIFY(model->openFile(Foyer));
        QSignalSpy warning(model, &MModel::warning);
        QSignalSpy receiving(transfer, &MTransfer::receivingChanged);
        QProcess sender;
        StreamingPeer peer(bytes, whole ? -1 : 2000);
        // Receive mode from the setup menu; once it listens the row's sender starts. A receive that never ends fails.
        QObject guard;
        connect(transfer, &MTransfer::receivingChanged, &guard, [&](bool on) {
            if (!on)
                return;
            if (how == "nc") {
                sender.setStandardInputFile(designs.filePath("outgoing"));
                sender.start(nc, {"-N", "127.0.0.1", QString::number(transfer->listeningPort())});
                return;
            }
            peer.start(transfer->listeningPort());
            if (whole)
                return;
            QTimer::singleShot(0, this, [&] {
                QTRY_VERIFY_WITH_TIMEOUT(peer.stopped() && QFile::exists(target() + "t"), Timeout);
                QMessageBox *box = view->messageDialog()->receiveBox();
                QVERIFY(box && box->isVisible());
                // A second Receive meanwhile is turned away; the first still listens where it did.
                const quint16 port = transfer->listeningPort();
                QVERIFY(intrf->postCommand("system", "Receive") && transfer->isReceiving());
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                QVERIFY(transfer->listeningPort() == port && probe.waitForConnected(Timeout));
                probe.abort();
                if (how == "quit")
                    model->aboutToQuit();
                else
                    box->button(QMessageBox::Cancel)->click();
            });
        });
        QTimer::singleShot(Timeout, &guard, [this] { transfer->cancelReceive(); });
        QVERIFY(intrf->postCommand("system", "Receive"));
        QVERIFY(!transfer->isReceiving() && !view->messageDialog()->receiveBox() && !QFile::exists(target() + "t"));
        // Every row starts receive mode again once the last has ended.
        QCOMPARE(receiving, (QList<QVariantList>{{true}, {false}}));
        QCOMPARE(readFile(target()), opens ? bytes : QByteArray("old panel"));
        const QString said = onlyWarning(warning);
        QVERIFY2(said.contains(reason.isEmpty() ? "0 warnings" : reason), qPrintable(said));
        // What was open stays open, unless a panel came.
        QCOMPARE(model->filePath(), opens ? target() : Foyer);
        QCOMPARE(model->isOnline() && model->isPolling(), opens);
        model->setOnline(false);
        QTRY_VERIFY_WITH_TIMEOUT(how == "nc" ? sender.state() == QProcess::NotRunning : peer.disconnected, Timeout);
    }

    void receiveModeDoesNotStartOnATakenPortOrWithoutABox()
    {
        QTcpServer holder;
        QVERIFY(holder.listen(QHostAddress::AnyIPv4, 0));
        transfer->setPort(holder.serverPort());
        model->closeDocument();
        model->setOnline(true);
        QSignalSpy warning(model, &MModel::warning);
        QSignalSpy receiving(transfer, &MTransfer::receivingChanged);
        QVERIFY(intrf->postCommand("system", "Receive"));
        const QString said = onlyWarning(warning);
        QVERIFY2(receiving.isEmpty() && model->isPolling() && said.contains("in use")
                     && said.contains(QString::number(holder.serverPort())), qPrintable(said));
        model->setOnline(false);
        transfer->setPort(0);
        // Without a box nothing could cancel it.
        MTransfer lonely;
        lonely.setPort(0);
        QSignalSpy lonelyReceiving(&lonely, &MTransfer::receivingChanged);
        QVERIFY(!lonely.receive(target(), "Waiting") && lonelyReceiving.isEmpty() && !QFile::exists(target() + "t"));
    }
};

QTEST_MAIN(tst_Model)
#include "tst_model.moc"
