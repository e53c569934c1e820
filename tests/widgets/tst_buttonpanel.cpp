#include "../ModelScene.h"
#include "../SimStation.h"
#include "WButton.h"

using simtest::Timeout;

// The panel of buttons as the program shows it, offline and online against
// a simulated device: what a press sends arrives there as the command the
// device expects, and what the device reports shows in the buttons. With
// KVR_SCREENSHOT_DIR set, the test leaves its pictures of the panel there.
class tst_ButtonPanel : public QObject
{
    Q_OBJECT
    ModelScene scene;

private slots:
    void initTestCase() { QVERIFY(scene.setUp() && scene.show()); }

    void offlineAndOnline_data()
    {
        QTest::addColumn<QString>("skin");
        QTest::newRow("Light") << "Light";
        QTest::newRow("Dark") << "Dark";
    }
    void offlineAndOnline()
    {
        QFETCH(QString, skin);
        simtest::LoggedSim sim;
        QVERIFY(sim.ready);
        QVERIFY(scene.openPacked(panelAndDesign(KVR_TEST_DATA "/panels/Buttons"),
                                 {simtest::onPort(sim.port()), {"<skin>Light</skin>", "<skin>" + skin.toUtf8() + "</skin>"}}));
        WButton *lectern = scene.widget<WButton>("Mute", "Lectern");
        WButton *wireless = scene.widget<WButton>("Mute", "Wireless");
        WButton *lamp1 = scene.widget<WButton>("Channel 1");
        WButton *lamp2 = scene.widget<WButton>("Channel 2");
        WButton *gpi = scene.widget<WButton>("Control 1");
        WButton *status = scene.widget<WButton>("Connection Indicator");
        QVERIFY(lectern && wireless && lamp1 && lamp2 && gpi && status);
        QCOMPARE(scene.widget<WButton>("Mic 2 Mute")->itemProperty("onText").toString(), "Podium UNMUTE");
        const QImage offline = scene.view->grabWindow();
        scene.keep(offline, "buttons-" + skin.toLower() + "-offline.png");
        QVERIFY(!wireless->isChecked() && !status->isChecked());

        // What another station set before the panel went online.
        simtest::OtherStation other(sim.port());
        QVERIFY(other.connected);
        for (const char *command : {"SA \"Wireless\">2=O", "SA \"Ceiling\">2=O", "SA \"Ballroom Mics\">3>2=O",
                                          "SA \"Partition Toggle\">2>1=1", "SA \"Partition Toggle\">2>3=1",
                                          "SA \"Occupancy Lamps\">1>1=1"})
            QCOMPARE(other.ask(command), QByteArray("\x06"));
        MModel *model = scene.model;
        model->setOnline(true);
        model->rebuildInterfaces();
        model->startStateRequests();
        QTRY_VERIFY_WITH_TIMEOUT(status->isChecked(), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(wireless->isChecked() && lamp1->isChecked(), Timeout);
        QVERIFY(!lamp2->isChecked() && !lectern->isChecked());

        // A press goes out as the device's own command, and a sequence key
        // sends its second value on release.
        scene.click(lectern->item());
        QTest::mousePress(scene.view, Qt::LeftButton, {}, widgettest::centreOf(gpi->item()));
        QTest::mouseRelease(scene.view, Qt::LeftButton, {}, widgettest::centreOf(gpi->item()));
        QTRY_VERIFY_WITH_TIMEOUT(sim.logged().contains("< SA \"Wall Panel\">1>1=0\n"), Timeout);
        const QByteArray sent = sim.logged();
        QCOMPARE(sent.count("< SA \"Lectern\">2=O\n"), 1);
        QCOMPARE(sent.count("< SA \"Wall Panel\">1>1=1\n"), 1);
        QCOMPARE(sent.count("< SA \"Lectern\""), 1);
        QVERIFY(lectern->isChecked());

        // The device changes under the panel.
        QCOMPARE(other.ask("SA \"Wireless\">2=F"), QByteArray("\x06"));
        QTRY_VERIFY_WITH_TIMEOUT(!wireless->isChecked(), Timeout);
        QCOMPARE(other.ask("SA \"Wireless\">2=O"), QByteArray("\x06"));
        QTRY_VERIFY_WITH_TIMEOUT(wireless->isChecked(), Timeout);
        // Nothing the device reported was sent back: the three sets are the
        // other station's.
        QCOMPARE(sim.logged().count("< SA \"Wireless\""), 3);

        // The shown state is drawn.
        QTRY_VERIFY_WITH_TIMEOUT(!lectern->isHeldOff(), Timeout);
        const QImage online = scene.view->grabWindow();
        QVERIFY(online != offline);
        scene.keep(online, "buttons-" + skin.toLower() + "-online.png");
        model->setOnline(false);
        model->closeDocument();
    }
};

QTEST_MAIN(tst_ButtonPanel)
#include "tst_buttonpanel.moc"
