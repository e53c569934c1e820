// The model online against simulated devices: the connection indicator,
// reconnecting only while online, and calls made and taken with the dialers
// of a panel against a simulated telephone interface, through the model, the
// protocol and real clicks on the scene.

#include "../DemoArchive.h"
#include "../ModelScene.h"
#include "../SimStation.h"
#include "CCanvas.h"
#include "CComposite.h"
#include "HChassis.h"
#include "HRoot.h"
#include "IComposite.h"
#include "MModel.h"
#include "MQmlInterface.h"
#include "VQmlFrame.h"
#include "WDialer.h"

#include <QTemporaryDir>

using commtest::Timeout;

namespace {
constexpr int CallTimeout = 8000;

// An interface that counts how often it is asked to connect again.
class StandInInterface : public IInterface
{
public:
    void reconnect() override { ++reconnects; }
    int reconnects = 0;
};
} // namespace

class tst_ModelOnline : public QObject
{
    Q_OBJECT
    ModelScene scene;
    MModel *model = nullptr;
    commtest::SimPeer phones;
    QList<int> seen; // the states the PSTN dialer went through

    QString indicator() const { return scene.view->qmlInterface()->property("connectInd").toString(); }
    // The demo against two simulated devices; without its connections
    // record the devices' addresses come from the design alone.
    void openDemo(commtest::SimPeer &dsp, commtest::SimPeer &endpoint, const QTemporaryDir &dir, bool connections)
    {
        const QString archive = demotest::demoOnPorts(dir.path(), dsp.port(), endpoint.port(), connections);
        QVERIFY(!archive.isEmpty());
        QVERIFY(model->openFile(archive));
    }
    WDialer *dialer(const QString &control) const { return scene.widget<WDialer>(control); }
    void clickItem(QQuickItem *item)
    {
        QVERIFY(item && item->isVisible());
        scene.click(item);
    }
    void click(WDialer *d, const QString &key) { clickItem(widgettest::findItem(d->item(), key)); }
    void clickKey(const char *control)
    {
        CControl *c = model->currentPanel()->child(QLatin1String(control));
        clickItem(c && c->firstWidget() ? c->firstWidget()->item() : nullptr);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        model = scene.model;
    }

    void lostDeviceIsConnectedAgainOnlyWhileOnline()
    {
        StandInInterface a;
        model->interfaces()->add(&a);
        model->setOnline(true);
        QCOMPARE(a.reconnects, 0);
        model->interfaceStatusChanged(false);
        QCOMPARE(a.reconnects, 1);
        // Going offline reports false as well, and so may the interfaces
        // as they close: nothing is connected again.
        model->setOnline(false);
        model->interfaceStatusChanged(false);
        QCOMPARE(a.reconnects, 1);
        model->interfaces()->clear();
    }

    void goingOnlineAgainstSimulatedDevices_data()
    {
        QTest::addColumn<bool>("connections");
        QTest::newRow("addresses from the connections record") << true;
        // Devices known only from the design light the indicator too.
        QTest::newRow("devices known only from the design") << false;
    }
    void goingOnlineAgainstSimulatedDevices()
    {
        QFETCH(bool, connections);
        commtest::SimPeer dsp, endpoint;
        QTemporaryDir dir;
        openDemo(dsp, endpoint, dir, connections);
        auto *chassis = qobject_cast<HChassis *>(model->hardwareRoot()->findByCategory("Chassis"));
        QVERIFY(chassis && chassis->protocol());
        // The device keeps its own protocol under the root and hands it down.
        QCOMPARE(model->currentPanel()->child("Mute")->node()->protocol(), chassis->protocol());
        QVERIFY(indicator().endsWith("/indicator_red.png"));
        model->setOnline(true);
        model->startStateRequests();
        QTRY_VERIFY_WITH_TIMEOUT(indicator().endsWith("/indicator_grn.png"), Timeout);
        QCOMPARE(model->interfaces()->count(), 2);
        QVERIFY(model->isPollingActive() && model->networkStatusText().startsWith("Hall DSP - Online - Running"));
        // Offline on purpose: the connection goes and never comes back.
        model->setOnline(false);
        QTRY_VERIFY_WITH_TIMEOUT(indicator().endsWith("/indicator_red.png"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(dsp.device->connectionCount() + endpoint.device->connectionCount(), 0, Timeout);
        QVERIFY(!model->isPollingActive() && model->interfaces()->connectedCount() == 0);
        // Without a socket the client has nothing to connect again.
        auto *client = qobject_cast<ITcpClient *>(chassis->interface());
        QVERIFY(client && !client->hasSocket());
        // Closing the document unlinks the interfaces before the devices go.
        model->closeDocument();
        QCOMPARE(model->interfaces()->count(), 0);
    }

    void dialHoldAndHangUp()
    {
        SimPhoneSettings settings;
        settings.stepMs = 300;
        phones.device->phoneLines().setSettings(settings);
        phones.device->phoneLines().declare("Phone Receive", SimPhoneLine::Kind::Pstn);
        phones.device->phoneLines().declare("SIP Receive", SimPhoneLine::Kind::Voip);
        QVERIFY(scene.show(QSize(1100, 800)));
        QVERIFY(scene.openPacked(panelAndDesign(KVR_TEST_DATA "/telephone/Telephones"),
                                 {simtest::onPort(phones.port())}));
        WDialer *d = dialer("Desk Phone");
        QVERIFY(d && dialer("SIP Phone"));
        connect(d, &WDialer::dialerStateChanged, this, [this, d] { seen << d->dialerState(); });
        model->setOnline(true);
        model->rebuildInterfaces();
        model->startStateRequests();
        QTRY_COMPARE_WITH_TIMEOUT(model->interfaces()->connectedCount(), 1, Timeout);
        // The dialers ask for their state once they are online.
        QVERIFY(d->isStatusTimerRunning());
        for (const QChar c : QStringLiteral("5551234"))
            click(d, QStringLiteral("key") + c);
        QCOMPARE(d->displayText(), QStringLiteral("5551234"));
        click(d, "callEndKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_Active), CallTimeout);
        QVERIFY2(seen.contains(WDialer::State_RingBack), qPrintable(QString::number(seen.size())));
        QVERIFY(seen.indexOf(WDialer::State_RingBack) < seen.indexOf(WDialer::State_Active));
        QCOMPARE(d->idString() + '|' + d->statusText(), QStringLiteral("5551234|Active"));
        QTRY_COMPARE_WITH_TIMEOUT(d->callTime(), QStringLiteral("0:01"), CallTimeout);
        click(d, "holdKey");
        QTRY_VERIFY_WITH_TIMEOUT(d->isHoldActive(), CallTimeout);
        QCOMPARE(d->statusText(), QStringLiteral("Hold"));
        click(d, "holdKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_Active), CallTimeout);
        click(d, "callEndKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->statusText(), QStringLiteral("Call Ended"), CallTimeout);
        QVERIFY(d->dialerState() == WDialer::State_HangUp && d->displayText().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(d->statusText(), QString(), CallTimeout);
    }

    // A speed-dial key next to a dialer dials its number, and during a call
    // sends it as tones.
    void speedDial()
    {
        WDialer *d = dialer("Desk Phone");
        CControl *key = model->currentPanel()->child("Housekeeping");
        QCOMPARE(key && key->firstWidget() ? key->firstWidget()->linkedWidget() : nullptr, d);
        clickKey("Housekeeping");
        QCOMPARE(d->displayText(), QStringLiteral("9100"));
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_Active), CallTimeout);
        QCOMPARE(d->idString(), QStringLiteral("9100"));
        click(d, "callEndKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_HangUp), CallTimeout);
        QSignalSpy commands(phones.device.get(), &SimDevice::commandReceived);
        WDialer *sip = dialer("SIP Phone");
        clickKey("Conference PIN");
        QTRY_COMPARE_WITH_TIMEOUT(sip->dialerState(), int(WDialer::State_Outgoing), CallTimeout);
        clickKey("Conference PIN");
        click(sip, "endKey");
        QTRY_COMPARE_WITH_TIMEOUT(sip->dialerState(), int(WDialer::State_HangUp), CallTimeout);
        QByteArray keys;
        for (const QList<QVariant> &c : std::as_const(commands)) {
            if (c.at(1).toByteArray().startsWith("SA \"SIP Receive\">16="))
                keys += c.at(1).toByteArray().mid(20);
        }
        QCOMPARE(keys, QByteArray("CALL 4711#\rDIGIT 4\rDIGIT 7\rDIGIT 1\rDIGIT 1\rDIGIT #\rEND\r"));
    }

    void incomingAcceptedAndDeclined()
    {
        WDialer *d = dialer("SIP Phone");
        SimPhoneLine *line = phones.device->phoneLines().find("SIP Receive");
        QVERIFY(line->ring("Front Desk"));
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_Incoming), CallTimeout);
        QCOMPARE(d->idString(), QStringLiteral("Front Desk"));
        click(d, "acceptKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_Active), CallTimeout);
        click(d, "endKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->statusText(), QStringLiteral("Call Ended"), CallTimeout);
        QVERIFY(line->ring("Lobby"));
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_Incoming), CallTimeout);
        click(d, "declineKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_HangUp), CallTimeout);
        // A call that never began did not end.
        QCOMPARE(d->statusText() + '|' + line->statusText(), QStringLiteral("|\"IDLE\""));
        // Offline, the dialers stop asking.
        model->setOnline(false);
        QTRY_VERIFY_WITH_TIMEOUT(!d->isStatusTimerRunning() && !dialer("Desk Phone")->isStatusTimerRunning(), Timeout);
        model->closeDocument();
    }
};

QTEST_MAIN(tst_ModelOnline)
#include "tst_modelonline.moc"
