#include "../DemoArchive.h"
#include "../ModelScene.h"
#include "CCanvas.h"
#include "CComposite.h"
#include "CommTestUtil.h"
#include "HChassis.h"
#include "HRoot.h"
#include "IComposite.h"
#include "MModel.h"
#include "MQmlInterface.h"
#include "VQmlFrame.h"

#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
// An interface whose connected state the test sets.
class StandInInterface : public IInterface
{
public:
    void setConnected(bool connected)
    {
        m_connected = connected;
        emit interfaceStateChanged(connected);
    }
    void reconnect() override { ++reconnects; }
    int reconnects = 0;
};

} // namespace

class tst_ModelOnline : public QObject
{
    Q_OBJECT
private:
    ModelScene scene;
    VQmlFrame *view = nullptr;
    MModel *model = nullptr;

    QString indicator() const { return view->qmlInterface()->property("connectInd").toString(); }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        view = scene.view;
        model = scene.model;
    }

    void indicatorFollowsTheConnectedCount()
    {
        model->closeDocument();
        StandInInterface a, b;
        model->interfaces()->add(&a);
        model->interfaces()->add(&b);
        model->interfaceStatusChanged(false);
        QVERIFY(indicator().endsWith("/indicator_red.png"));
        a.setConnected(true);
        model->interfaceStatusChanged(true);
        QVERIFY(indicator().endsWith("/indicator_ylw.png"));
        b.setConnected(true);
        model->interfaceStatusChanged(true);
        QVERIFY(indicator().endsWith("/indicator_grn.png"));
        model->interfaces()->clear();
    }

    void lostDeviceIsConnectedAgainOnlyWhileOnline()
    {
        model->closeDocument();
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

    void goingOnlineAgainstASimulatedDevice()
    {
        commtest::SimPeer dsp, endpoint;
        QVERIFY(dsp.listening && endpoint.listening);
        QTemporaryDir dir;
        const QString archive = demotest::demoOnPorts(dir.path(), dsp.port(), endpoint.port());
        QVERIFY(!archive.isEmpty());
        QVERIFY(model->openFile(archive));
        auto *chassis = qobject_cast<HChassis *>(model->hardwareRoot()->findByCategory("Chassis"));
        QVERIFY(chassis);
        // The device keeps its own protocol under the root and hands it down.
        QVERIFY(chassis->protocol());
        QCOMPARE(model->currentPanel()->child("Mute")->node()->protocol(), chassis->protocol());
        QCOMPARE(model->interfaces()->count(), 2);
        QVERIFY(indicator().endsWith("/indicator_red.png"));

        model->setOnline(true);
        model->startStateRequests();
        QTRY_VERIFY_WITH_TIMEOUT(indicator().endsWith("/indicator_grn.png"), commtest::Timeout);
        QVERIFY(model->isPollingActive());
        QVERIFY(model->networkStatusText().startsWith("Hall DSP - Online - Running"));

        // Offline on purpose: the connection goes and never comes back.
        model->setOnline(false);
        QTRY_VERIFY_WITH_TIMEOUT(indicator().endsWith("/indicator_red.png"), commtest::Timeout);
        QVERIFY(!model->isPollingActive());
        QTRY_COMPARE_WITH_TIMEOUT(dsp.device->connectionCount() + endpoint.device->connectionCount(), 0,
                                  commtest::Timeout);
        QCOMPARE(model->interfaces()->connectedCount(), 0);
        // Without a socket the client has nothing to connect again.
        auto *client = qobject_cast<ITcpClient *>(chassis->interface());
        QVERIFY(client && !client->hasSocket());

        // Closing the document unlinks the interfaces before the devices go.
        model->closeDocument();
        QCOMPARE(model->interfaces()->count(), 0);
    }

    void deviceKnownOnlyFromTheDesignLightsTheIndicator()
    {
        commtest::SimPeer dsp, endpoint;
        QVERIFY(dsp.listening && endpoint.listening);
        QTemporaryDir dir;
        const QString archive = demotest::demoOnPorts(dir.path(), dsp.port(), endpoint.port(), false);
        QVERIFY(!archive.isEmpty());
        QVERIFY(model->openFile(archive));
        model->setOnline(true);
        QTRY_VERIFY_WITH_TIMEOUT(indicator().endsWith("/indicator_grn.png"), commtest::Timeout);
        QCOMPARE(model->interfaces()->count(), 2);
        model->setOnline(false);
        model->closeDocument();
    }
};

QTEST_MAIN(tst_ModelOnline)
#include "tst_modelonline.moc"
