#include "../ModelScene.h"
#include "CCanvas.h"
#include "CComposite.h"
#include "CommTestUtil.h"
#include "HChassis.h"
#include "HRoot.h"
#include "IComposite.h"
#include "MModel.h"
#include "MQmlInterface.h"
#include "UArchive.h"
#include "UArchiveHeaderRecord.h"
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

// The shipped demonstration archive with its device moved to port; without
// its connections record the device's address comes from the design alone.
QString demoOnPort(const QString &folder, quint16 port, bool keepConnections = true)
{
    UArchive source;
    source.setArchiveRoot(folder + "/extract");
    if (!source.open(QStringLiteral(":/data/Korvel/Demo.cpz")))
        return QString();
    UArchive target;
    for (const UArchiveHeaderRecord *record : source.header().records()) {
        QFile in(record->filePath());
        if (!in.open(QIODevice::ReadOnly))
            return QString();
        QByteArray data = in.readAll();
        data.replace("10055", QByteArray::number(port));
        if (!keepConnections && record->name().endsWith(".cpf")) {
            const qsizetype begin = data.indexOf("<Connections>");
            const qsizetype end = data.indexOf("</Connections>");
            if (begin < 0 || end < begin)
                return QString();
            data.remove(begin, end + int(strlen("</Connections>")) - begin);
        }
        const QString copy = folder + record->name();
        QFile out(copy);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
            return QString();
        out.close();
        target.addFile(copy);
    }
    const QString path = folder + "/Demo.cpz";
    return target.write(path) ? path : QString();
}
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
        commtest::SimPeer sim;
        QVERIFY(sim.listening);
        QTemporaryDir dir;
        const QString archive = demoOnPort(dir.path(), sim.port());
        QVERIFY(!archive.isEmpty());
        QVERIFY(model->openFile(archive));
        auto *chassis = qobject_cast<HChassis *>(model->hardwareRoot()->findByCategory("Chassis"));
        QVERIFY(chassis);
        // The device keeps its own protocol under the root and hands it down.
        QVERIFY(chassis->protocol());
        QCOMPARE(model->currentPanel()->child("Main Level")->node()->protocol(), chassis->protocol());
        QCOMPARE(model->interfaces()->count(), 1);
        QVERIFY(indicator().endsWith("/indicator_red.png"));

        model->setOnline(true);
        model->startStateRequests();
        QTRY_VERIFY_WITH_TIMEOUT(indicator().endsWith("/indicator_grn.png"), commtest::Timeout);
        QVERIFY(model->isPollingActive());
        QVERIFY(model->networkStatusText().startsWith("Venue DSP - Online - Running"));

        // Offline on purpose: the connection goes and never comes back.
        model->setOnline(false);
        QTRY_VERIFY_WITH_TIMEOUT(indicator().endsWith("/indicator_red.png"), commtest::Timeout);
        QVERIFY(!model->isPollingActive());
        QTRY_COMPARE_WITH_TIMEOUT(sim.device->connectionCount(), 0, commtest::Timeout);
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
        commtest::SimPeer sim;
        QVERIFY(sim.listening);
        QTemporaryDir dir;
        const QString archive = demoOnPort(dir.path(), sim.port(), false);
        QVERIFY(!archive.isEmpty());
        QVERIFY(model->openFile(archive));
        model->setOnline(true);
        QTRY_VERIFY_WITH_TIMEOUT(indicator().endsWith("/indicator_grn.png"), commtest::Timeout);
        QCOMPARE(model->interfaces()->count(), 1);
        model->setOnline(false);
        model->closeDocument();
    }
};

QTEST_MAIN(tst_ModelOnline)
#include "tst_modelonline.moc"
