// A fader on a panel against a simulated device on loopback: what a move
// puts on the wire, and a change made by another client coming back to it.

#include "../SimStation.h"
#include "HBlock.h"
#include "HChassis.h"
#include "IInterface.h"
#include "WSlider.h"
#include "WidgetScene.h"

using namespace widgettest;

class tst_FaderOnline : public QObject
{
    Q_OBJECT
    WidgetScene scene;
    commtest::SimPeer sim;
    HChassis device;
    std::unique_ptr<PanelControl> control;
    QList<QByteArray> received;

    WSlider *fader() const { return control->widget<WSlider>(); }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp() && sim.listening);
        connect(sim.device.get(), &SimDevice::commandReceived, this,
                [this](int, const QByteArray &bytes) { received << bytes; });
        device.setTitle("ZMP-50");
        device.setAttribute("ipaddress", "127.0.0.1");
        device.setAttribute("serialport", QString::number(sim.port()));
        auto *gain = new HBlock;
        gain->setTitle("Gain");
        gain->setLabel("Lectern Gain");
        QVERIFY(device.addNode(gain));
        control = std::make_unique<PanelControl>(&scene.factory, gain, "Level", "Slider",
                                                 QList<Record>{{"slider", {"id", "1", "link", "2"}}},
                                                 levelAttributes());
        device.setOnline(true);
        QTRY_VERIFY_WITH_TIMEOUT(device.interface()->isConnected() && device.interface()->isStreamingSet(), Timeout);
    }
    void cleanupTestCase() { control.reset(); }

    void moveArrivesByteForByte()
    {
        received.clear();
        userMoves(fader(), -21);
        userMoves(fader(), -20);
        const QByteArray expected("SA \"Lectern Gain\">1=-10.0\r");
        QTRY_VERIFY_WITH_TIMEOUT(received.contains(expected), Timeout);
        QCOMPARE(std::count_if(received.begin(), received.end(), [](const QByteArray &b) { return b.startsWith("SA"); }),
                 1);
    }

    void changeByAnotherClientMovesTheFader()
    {
        LinkedEdit edit;
        edit.setTransform(fader()->transform());
        fader()->setLinkedWidget(&edit);
        // The poll of the shown panel subscribes; the device then reports the
        // value once and every change after.
        QTRY_VERIFY_WITH_TIMEOUT(!fader()->isHoldingReports(), Timeout);
        QVERIFY(control->control.requestState());
        QTRY_COMPARE_WITH_TIMEOUT(fader()->current(), -10.0f, Timeout);

        simtest::OtherStation other(sim.port());
        QCOMPARE(other.ask("SA \"Lectern Gain\">1=-3.5"), QByteArray("\x06"));
        QTRY_COMPARE_WITH_TIMEOUT(shown(fader()), -7, Timeout);
        QCOMPARE(fader()->current(), -3.5f);
        QCOMPARE(edit.seen.last(), -3.5f);
        fader()->setLinkedWidget(nullptr);
    }
};

QTEST_MAIN(tst_FaderOnline)
#include "tst_faderonline.moc"
