// The model online against simulated devices: the connection indicator, reconnecting only while online, and calls made
// and taken with the dialers of a panel against a simulated telephone interface, through the model, the protocol and
// real clicks on the scene.

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
    WDialer *dialer(const QString &control) const { return scene.widget<WDialer>(control); }
    void clickItem(QQuickItem *item)
    {
        QVERIFY(item && item->isVisible());
        scene.click(item);
    }
    void click(WDialer *d, const QString &key) { clickItem(widgettest::findItem(d->item(), key)); }
    void clickKey(const QString &control)
    {
        CControl *c = model->currentPanel()->child(control);
        clickItem(c && c->firstWidget() ? c->firstWidget()->item() : nullptr);
    }
    // Plays steps on the dialer d: "@name" clicks the widget of the panel's control "name", "property:text" checks
    // what the dialer's property reads now ("state" names its state), "property=text" waits until it reads text;
    // anything else clicks the dialer's key of that name.
    void play(WDialer *d, const QStringList &steps)
    {
        const QMetaEnum states = QMetaEnum::fromType<WDialer::DialerState>();
        for (const QString &step : steps) {
            const qsizetype at = step.indexOf(QRegularExpression(QStringLiteral("[:=]")));
            const QString name = step.left(at), text = step.mid(at + 1);
            const auto shown = [&] {
                return name == QLatin1String("state") ? QString::fromLatin1(states.valueToKey(d->dialerState())).mid(6)
                                                      : d->property(qPrintable(name)).toString();
            };
            if (step.startsWith('@'))
                clickKey(step.mid(1));
            else if (at < 0)
                click(d, step);
            else if (step.at(at) == ':')
                QCOMPARE(shown(), text);
            else
                QTRY_COMPARE_WITH_TIMEOUT(shown(), text, CallTimeout);
        }
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
        // Going offline reports false as well, and so may the interfaces as they close: nothing is connected again.
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
        const QString archive = demotest::demoOnPorts(dir.path(), dsp.port(), endpoint.port(), connections);
        QVERIFY(!archive.isEmpty() && model->openFile(archive));
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
        play(d, {"key5", "key5", "key5", "key1", "key2", "key3", "key4", "displayText:5551234", "callEndKey",
                 "state=Active", "idString:5551234", "statusText:Active"});
        QVERIFY2(seen.contains(WDialer::State_RingBack), qPrintable(QString::number(seen.size())));
        QVERIFY(seen.indexOf(WDialer::State_RingBack) < seen.indexOf(WDialer::State_Active));
        play(d, {"callTime=0:01", "holdKey", "state=Hold", "statusText:Hold", "holdKey", "state=Active", "callEndKey",
                 "statusText=Call Ended", "state:HangUp", "displayText:", "statusText="});
    }

    // A speed-dial key next to a dialer dials its number, and during a call sends it as tones.
    void speedDial()
    {
        WDialer *d = dialer("Desk Phone");
        CControl *key = model->currentPanel()->child("Housekeeping");
        QCOMPARE(key && key->firstWidget() ? key->firstWidget()->linkedWidget() : nullptr, d);
        play(d, {"@Housekeeping", "displayText:9100", "state=Active", "idString:9100", "callEndKey", "state=HangUp"});
        QSignalSpy commands(phones.device.get(), &SimDevice::commandReceived);
        play(dialer("SIP Phone"), {"@Conference PIN", "state=Outgoing", "@Conference PIN", "endKey", "state=HangUp"});
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
        play(d, {"state=Incoming", "idString:Front Desk", "acceptKey", "state=Active", "endKey",
                 "statusText=Call Ended"});
        QVERIFY(line->ring("Lobby"));
        play(d, {"state=Incoming", "declineKey", "state=HangUp"});
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
