#include "../ModelScene.h"
#include "../TransferPeers.h"
#include "HChassis.h"
#include "HRoot.h"
#include "MProject.h"
#include "MQmlInterface.h"
#include "VModeManager.h"

using namespace transfertest;

namespace {
const char *const Demo = ":/data/Korvel/Demo.cpz";
const QString Fixtures = QStringLiteral(KVR_TEST_DATA "/archive");
} // namespace

class tst_Model : public QObject
{
    Q_OBJECT
    VQmlFrame *view = nullptr;
    ModelScene scene;
    MModel *model = nullptr;
    MQmlInterface *intrf = nullptr;

    QVariant qml(const char *name) const { return intrf->property(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        view = scene.view;
        model = scene.model;
        intrf = view->qmlInterface();
        QVERIFY(scene.show());
    }

    void openingTheDemoSetsTheScene()
    {
        QSignalSpy enable(model, &MModel::enableConnection);
        QVERIFY(model->openFile(Demo));
        QVERIFY(scene.show());
        QVERIFY(qml("viewScale").toDouble() > 0.5);
        // The design inside the archive was read, and labels name the nodes;
        // the phone app asks for the demo's PIN before it lets the user out.
        QVERIFY(model->hardwareRoot()->findByCategory("Chassis"));
        CControl *mute = model->currentPanel()->child("Mute");
        QVERIFY(mute && mute->node());
        QCOMPARE((QVariantList{enable.last().first(), model->currentScene()->name(), qml("pageCount"), qml("pageIndex"),
                               qml("sceneTitle"), qml("headerTitle"), qml("textSize").toInt(), mute->labelText(),
                               MProject::exitPin()}),
                 (QVariantList{true, "Harbour Hall", 7, 0, "Overview", "Harbour Hall",
                               int(12 * qml("viewScale").toFloat()), "Programme", "1357"}));
    }

    void onlyShownPanelsHaveWidgets()
    {
        QVERIFY(model->openFile(Demo));
        CComposite *scene = model->currentScene();
        QVERIFY(scene->childAt(0)->hasWidgets());
        QVERIFY(!scene->childAt(1)->hasWidgets());
        model->showPage(1);
        QVERIFY(scene->childAt(1)->hasWidgets());
        // Going back hides, never rebuilds, the other panel.
        WWidget *first = qobject_cast<CComposite *>(scene->childAt(1))->childAt(0)->firstWidget();
        model->showPage(0);
        QVERIFY(!first->item()->isVisible());
        model->showPage(1);
        QCOMPARE(qobject_cast<CComposite *>(scene->childAt(1))->childAt(0)->firstWidget(), first);
        QVERIFY(first->item()->isVisible());
    }

    void pagesStopAtTheEnds()
    {
        QVERIFY(model->openFile(Demo));
        QVERIFY(!intrf->postCommand("event", "leftarrow") || model->pageIndex() == 0);
        QCOMPARE(model->pageIndex(), 0);
        for (int i = 0; i < 9; ++i)
            QVERIFY(intrf->postCommand("event", "rightarrow"));
        QCOMPARE((QVariantList{model->pageIndex(), qml("pageIndex"), qml("sceneTitle")}), (QVariantList{6, 6, "Telephone"}));
        QVERIFY(!intrf->postCommand("nothing", "x"));
        QVERIFY(intrf->postCommand("scene", "Foyer"));
        QCOMPARE((QVariantList{model->currentScene()->name(), qml("pageCount")}), (QVariantList{"Foyer", 1}));
        QVERIFY(intrf->postCommand("scene", "Music"));
        QCOMPARE((QVariantList{model->currentScene()->name(), model->currentPanel()->name(), model->pageIndex()}),
                 (QVariantList{"Harbour Hall", "Music", 4}));
    }

    void aLinkToAMissingPanelKeepsTheCurrentOne()
    {
        QVERIFY(model->openFile(Demo));
        model->showPage(1);
        QSignalSpy warning(model, &MModel::warning);
        model->followLink("Nowhere");
        QCOMPARE(warning.count(), 1);
        QVERIFY(warning.first().at(1).toString().startsWith("Error - No link has been defined"));
        QCOMPARE(model->currentPanel()->name(), "Rooms");
        model->followLink("Foyer/Paging");
        QCOMPARE(model->currentPanel()->name(), "Paging");
    }

    void theDesignsProjectInformationStaysUnlessThePanelHasIts_data()
    {
        QTest::addColumn<bool>("panelHasProject");
        QTest::addColumn<QString>("facility");
        QTest::newRow("panel without project") << false << "Harbour View Hotel";
        QTest::newRow("panel with its own") << true << "Lobby Panel";
    }
    void theDesignsProjectInformationStaysUnlessThePanelHasIts()
    {
        QFETCH(bool, panelHasProject);
        QFETCH(QString, facility);
        QTemporaryDir dir;
        QByteArray panel = readFile(Fixtures + "/Lobby.cpf");
        const int begin = panel.indexOf("\t<Project>");
        const int end = panel.indexOf("</Project>") + int(qstrlen("</Project>\n"));
        if (panelHasProject)
            panel.replace("<name>Harbour View Hotel</name>", "<name>Lobby Panel</name>");
        else
            panel.remove(begin, end - begin);
        QVERIFY(writeFile(dir.path() + "/Lobby.cpf", panel));
        QVERIFY(scene.openPacked({dir.path() + "/Lobby.cpf", Fixtures + "/Lobby.kvp"}));
        QCOMPARE(model->project()->facilityName(), facility);
        MProject::setExitPin(QString());
    }

    void scenesWithoutPanelsAndPanelsWithoutControls()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/Sparse.cpf";
        QVERIFY(writeFile(path, "<KVD><Scenes><Scene name=\"A\"><Panels><Panel name=\"P\" type=\"complete\"><Controls/>"
                                "</Panel></Panels></Scene><Scene name=\"B\"><Panels/></Scene></Scenes></KVD>\n"));
        QVERIFY(model->openFile(Demo));
        QSignalSpy enable(model, &MModel::enableConnection);
        QVERIFY(model->openFile(path));
        // Nothing to operate: nothing to go online with or to send.
        QCOMPARE((QVariantList{enable.last().first(), model->currentPanel()->name()}), (QVariantList{false, "P"}));
        QVERIFY(intrf->postCommand("scene", "B"));
        QVERIFY(!model->currentPanel());
        QCOMPARE((QVariantList{model->currentScene()->name(), qml("pageCount"), qml("sceneTitle")}),
                 (QVariantList{"B", 0, "B"}));
    }

    void exitFromTheSetupMenuGoesOfflineWhileTheLoopRuns()
    {
        model->closeDocument();
        QSignalSpy root(model->hardwareRoot(), &HRoot::onlineChanged);
        QSignalSpy online(model, &MModel::onlineChanged);
        model->setOnline(true);
        model->setOnline(false);
        QCOMPARE(root, (QList<QVariantList>{{true}, {false}}));
        QCOMPARE(online.count(), 2);
        QVERIFY(!model->hardwareRoot()->isOnline());
        // The demo opened before leaves its PIN behind; this exit has none.
        MProject::setExitPin(QString());
        model->setOnline(true);
        bool offlineInLoop = false;
        connect(model, &MModel::onlineChanged, this, [&](bool online) {
            offlineInLoop = !online && QThread::currentThread()->loopLevel() > 0;
        });
        QTimer::singleShot(0, this, [this] { intrf->postCommand("system", "Exit"); });
        QTimer::singleShot(Timeout, this, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        disconnect(model, &MModel::onlineChanged, this, nullptr);
        QVERIFY(offlineInLoop);
        QVERIFY(!model->isOnline());
    }

    void skinsAndAccents()
    {
        QTemporaryDir dir;
        // Only the canvas and one empty panel: the skin is what matters.
        const QByteArray text = readFile(KVR_TEST_DATA "/panels/Conference.cpf");
        QVERIFY(writeFile(dir.filePath("Dark.cpf"), text.left(text.indexOf("<Scenes>"))
                                                        + "<Scenes><Scene name=\"S\"><Panels><Panel name=\"P\" "
                                                          "type=\"complete\"><Controls/></Panel></Panels></Scene>"
                                                          "</Scenes></KVD>\n"));
        QVERIFY(model->openFile(dir.filePath("Dark.cpf")));
        // Skin "Dark", accent "Teal", which does not exist: the default accent.
        // The skins' colours are the skin reader's; here they are drawn.
        QCOMPARE(model->appliedSkin(), "Dark");
        QTRY_COMPARE(QColor(view->grabWindow().pixel(view->width() / 2, view->height() / 2)), QColor("#464949"));
        QCOMPARE(qml("accentColor").value<QColor>(), QColor("#1D98D5"));
        QVERIFY(qml("connectInd").toString().startsWith("../../images/skins/Dark/"));
        scene.canvas.setProperty("skin", "Sepia");
        model->applySkin();
        QCOMPARE(model->appliedSkin(), "Light");
        QTRY_COMPARE(QColor(view->grabWindow().pixel(view->width() / 2, view->height() / 2)), QColor("#FFFFFF"));
    }

    void setupMenuTexts()
    {
        QVERIFY(model->openFile(Demo));
        const QString report = model->networkStatusText();
        QVERIFY2(report.startsWith("Hall DSP - Offline"), qPrintable(report));
        QVERIFY(report.contains("\n\nConference Endpoint - Offline"));
        QVERIFY(report.endsWith("\n\n"));
        const QString info = intrf->getProjectInfoString();
        QVERIFY(info.contains("Harbour Hall") && info.contains("Maren Solberg") && intrf->getAppFunction() == 3);
        QVERIFY(intrf->getVersionText().startsWith("Version 3.0.6.0\n\n"));
        QVERIFY(!model->mobileAddressText().startsWith("127."));
        model->closeDocument();
        QCOMPARE(model->networkStatusText(), "No network information available.");
        // The report leaves out the PQX amplifiers, and only them.
        const QList<QPair<QString, QString>> devices = {
            {"PQX520D", "Amp Rack"}, {"ZMP-30 (PQX hall)", "Hall DSP"}, {"PQX540D (Main)", "Main Amp"}};
        for (const auto &[title, label] : devices) {
            auto *chassis = new HChassis;
            chassis->setTitle(title);
            chassis->setLabel(label);
            model->hardwareRoot()->addNode(chassis);
        }
        QCOMPARE(model->networkStatusText(), "Hall DSP - Offline - Idle\n\n");
        model->closeDocument();
    }

    void exitAsksForThePinWhenThereIsOne()
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
    }

    void indicatorFollowsTheDevicesOnline()
    {
        QCOMPARE((QStringList{MModel::indicatorImage(0, 2), MModel::indicatorImage(1, 2), MModel::indicatorImage(0, 0)}),
                 (QStringList{"/indicator_red.png", "/indicator_ylw.png", "/indicator_red.png"}));
    }

    void thePanelIsDrawnAndChangesBetweenPages()
    {
        QVERIFY(model->openFile(Demo));
        QVERIFY(scene.show());
        const QImage first = view->grabWindow();
        model->showPage(1);
        const QImage second = view->grabWindow();
        QVERIFY(distinctColours(first) > 20 && distinctColours(second) > 10 && first != second);
    }
};

QTEST_MAIN(tst_Model)
#include "tst_model.moc"
