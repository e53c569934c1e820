#include "../ModelScene.h"
#include "../SimStation.h"
#include "HChassis.h"
#include "HRoot.h"
#include "IComposite.h"
#include "WDialer.h"

namespace {
constexpr int CallTimeout = 8000;
} // namespace

// Calls made and taken with the dialers of a panel against a simulated
// telephone interface, through the model, the protocol and real clicks on
// the scene.
class tst_Telephone : public QObject
{
    Q_OBJECT
private:
    ModelScene scene;
    commtest::SimPeer sim;
    QList<int> seen; // the states the PSTN dialer went through

    WDialer *dialer(const QString &control) const { return scene.widget<WDialer>(control); }
    void clickItem(QQuickItem *item)
    {
        QVERIFY(item && item->isVisible());
        scene.click(item);
    }
    void click(WDialer *d, const QString &key) { clickItem(widgettest::findItem(d->item(), key)); }
    void clickKey(const char *control)
    {
        CControl *c = scene.model->currentPanel()->child(QLatin1String(control));
        clickItem(c && c->firstWidget() ? c->firstWidget()->item() : nullptr);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        SimPhoneSettings phones;
        phones.stepMs = 300;
        sim.device->phoneLines().setSettings(phones);
        sim.device->phoneLines().declare("Phone Receive", SimPhoneLine::Kind::Pstn);
        sim.device->phoneLines().declare("SIP Receive", SimPhoneLine::Kind::Voip);
        QVERIFY(scene.show(QSize(1100, 800)));
        QVERIFY(scene.openPacked(panelAndDesign(KVR_TEST_DATA "/telephone/Telephones"), {simtest::onPort(sim.port())}));
        QVERIFY(dialer("Desk Phone") && dialer("SIP Phone"));
        connect(dialer("Desk Phone"), &WDialer::dialerStateChanged, this,
                [this] { seen << dialer("Desk Phone")->dialerState(); });
        scene.model->setOnline(true);
        scene.model->rebuildInterfaces();
        scene.model->startStateRequests();
        QTRY_COMPARE_WITH_TIMEOUT(scene.model->interfaces()->connectedCount(), 1, commtest::Timeout);
        // The dialers ask for their state once they are online.
        QVERIFY(dialer("Desk Phone")->isStatusTimerRunning());
    }

    void dialHoldAndHangUp()
    {
        WDialer *d = dialer("Desk Phone");
        for (const QChar c : QStringLiteral("5551234"))
            click(d, QStringLiteral("key") + c);
        QCOMPARE(d->displayText(), QStringLiteral("5551234"));
        click(d, "callEndKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_Active), CallTimeout);
        QVERIFY2(seen.contains(WDialer::State_RingBack), qPrintable(QString::number(seen.size())));
        QVERIFY(seen.indexOf(WDialer::State_RingBack) < seen.indexOf(WDialer::State_Active));
        QCOMPARE(d->idString(), QStringLiteral("5551234"));
        QCOMPARE(d->statusText(), QStringLiteral("Active"));
        QTRY_COMPARE_WITH_TIMEOUT(d->callTime(), QStringLiteral("0:01"), CallTimeout);
        click(d, "holdKey");
        QTRY_VERIFY_WITH_TIMEOUT(d->isHoldActive(), CallTimeout);
        QCOMPARE(d->statusText(), QStringLiteral("Hold"));
        click(d, "holdKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_Active), CallTimeout);
        click(d, "callEndKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->statusText(), QStringLiteral("Call Ended"), CallTimeout);
        QCOMPARE(d->dialerState(), int(WDialer::State_HangUp));
        QCOMPARE(d->displayText(), QString());
        QTRY_COMPARE_WITH_TIMEOUT(d->statusText(), QString(), CallTimeout);
    }

    // A speed-dial key next to a dialer dials its number, and during a call
    // sends it as tones.
    void speedDial()
    {
        WDialer *d = dialer("Desk Phone");
        CControl *key = scene.model->currentPanel()->child("Housekeeping");
        QVERIFY(key && key->firstWidget());
        QCOMPARE(key->firstWidget()->linkedWidget(), d);
        clickKey("Housekeeping");
        QCOMPARE(d->displayText(), QStringLiteral("9100"));
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_Active), CallTimeout);
        QCOMPARE(d->idString(), QStringLiteral("9100"));
        click(d, "callEndKey");
        QTRY_COMPARE_WITH_TIMEOUT(d->dialerState(), int(WDialer::State_HangUp), CallTimeout);
        QSignalSpy commands(sim.device.get(), &SimDevice::commandReceived);
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
        SimPhoneLine *line = sim.device->phoneLines().find("SIP Receive");
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
        QCOMPARE(d->statusText(), QString());
        QCOMPARE(line->statusText(), QStringLiteral("\"IDLE\""));
    }

    void offlineStopsTheQueries()
    {
        scene.model->setOnline(false);
        QTRY_VERIFY_WITH_TIMEOUT(!dialer("SIP Phone")->isStatusTimerRunning(), commtest::Timeout);
        QVERIFY(!dialer("Desk Phone")->isStatusTimerRunning());
        scene.model->closeDocument();
    }
};

QTEST_MAIN(tst_Telephone)
#include "tst_telephone.moc"
