#include "../ModelScene.h"
#include "../comm/CommTestUtil.h"
#include "CComposite.h"
#include "HNode.h"
#include "IComposite.h"
#include "UArchive.h"
#include "WButton.h"

#include <QQuickItem>
#include <QTemporaryDir>

namespace {
constexpr int Timeout = 8000;

// The panel of buttons and its design, packed as an archive whose device
// listens on port and whose canvas wears skin.
QString buttonsArchive(const QString &folder, quint16 port, const QString &skin)
{
    UArchive archive;
    for (const QString name : {"Buttons.cpf", "Buttons.kvp"}) {
        QFile in(QStringLiteral(KVR_TEST_DATA "/panels/") + name);
        if (!in.open(QIODevice::ReadOnly))
            return QString();
        QByteArray data = in.readAll();
        data.replace("10055", QByteArray::number(port));
        data.replace("<skin>Light</skin>", "<skin>" + skin.toUtf8() + "</skin>");
        const QString copy = folder + QLatin1Char('/') + name;
        QFile out(copy);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
            return QString();
        out.close();
        archive.addFile(copy);
    }
    const QString path = folder + QStringLiteral("/Buttons.cpz");
    return archive.write(path) ? path : QString();
}

// Another station on the device's network: what it sets, the panel must
// show.
struct OtherStation
{
    explicit OtherStation(quint16 port) { socket.connectToHost(QHostAddress::LocalHost, port); }
    bool set(const QByteArray &command)
    {
        socket.write(command + '\r');
        return socket.waitForBytesWritten(Timeout);
    }
    QTcpSocket socket;
};
} // namespace

// The panel of buttons as the program shows it, offline and online against
// a simulated device: what a press sends arrives there as the command the
// device expects, and what the device reports shows in the buttons. With
// KVR_SCREENSHOT_DIR set, the test leaves its pictures of the panel there.
class tst_ButtonPanel : public QObject
{
    Q_OBJECT
private:
    ModelScene scene;

    WButton *button(const QString &controlName, const QString &block = QString()) const
    {
        for (CControl *control : scene.model->currentPanel()->children()) {
            if (control->name() != controlName || (!block.isEmpty() && (!control->node() || control->node()->label() != block)))
                continue;
            for (WWidget *w : control->widgets()) {
                if (auto *b = qobject_cast<WButton *>(w))
                    return b;
            }
        }
        return nullptr;
    }
    QPoint centreOf(const WButton *b) const
    {
        const QQuickItem *item = b->item();
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }
    void keep(const QImage &image, const QString &name) const
    {
        const QString folder = qEnvironmentVariable("KVR_SCREENSHOT_DIR");
        if (!folder.isEmpty())
            QVERIFY(image.save(folder + QLatin1Char('/') + name));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        scene.view->resize(scene.canvas.width(), scene.canvas.height());
        scene.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(scene.view));
    }

    void offlineAndOnline_data()
    {
        QTest::addColumn<QString>("skin");
        QTest::newRow("Light") << "Light";
        QTest::newRow("Dark") << "Dark";
    }
    void offlineAndOnline()
    {
        QFETCH(QString, skin);
        commtest::SimPeer sim;
        QVERIFY(sim.listening);
        QTemporaryDir dir;
        QString error;
        QVERIFY2(sim.log.openFile(dir.filePath("device.log"), &error), qPrintable(error));
        const QString archive = buttonsArchive(dir.path(), sim.port(), skin);
        QVERIFY(!archive.isEmpty());
        QVERIFY(scene.model->openFile(archive));
        MModel *model = scene.model;
        WButton *lectern = button("Mute", "Lectern");
        WButton *wireless = button("Mute", "Wireless");
        WButton *lamp1 = button("Channel 1");
        WButton *lamp2 = button("Channel 2");
        WButton *gpi = button("Control 1");
        WButton *status = button("Connection Indicator");
        QVERIFY(lectern && wireless && lamp1 && lamp2 && gpi && status);
        QCOMPARE(button("Mic 2 Mute")->itemProperty("onText").toString(), QStringLiteral("Podium UNMUTE"));

        QTest::qWaitForWindowExposed(scene.view);
        const QImage offline = scene.view->grabWindow();
        keep(offline, "buttons-" + skin.toLower() + "-offline.png");
        QVERIFY(!wireless->isChecked() && !status->isChecked());

        // What another station set before the panel went online.
        OtherStation other(sim.port());
        QVERIFY(other.socket.waitForConnected(Timeout));
        for (const QByteArray &command : {"SA \"Wireless\">2=O", "SA \"Ceiling\">2=O", "SA \"Ballroom Mics\">3>2=O",
                                          "SA \"Partition Toggle\">2>1=1", "SA \"Partition Toggle\">2>3=1",
                                          "SA \"Occupancy Lamps\">1>1=1"})
            QVERIFY(other.set(command));

        model->setOnline(true);
        model->rebuildInterfaces();
        model->startStateRequests();
        QTRY_VERIFY_WITH_TIMEOUT(status->isChecked(), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(wireless->isChecked() && lamp1->isChecked(), Timeout);
        QVERIFY(!lamp2->isChecked());
        QVERIFY(!lectern->isChecked());

        // A press goes out as the device's own command, and a sequence key
        // sends its second value on release.
        QTest::mouseClick(scene.view, Qt::LeftButton, {}, centreOf(lectern));
        QTest::mousePress(scene.view, Qt::LeftButton, {}, centreOf(gpi));
        QTest::mouseRelease(scene.view, Qt::LeftButton, {}, centreOf(gpi));
        QFile log(dir.filePath("device.log"));
        const auto logged = [&log] {
            log.open(QIODevice::ReadOnly);
            const QByteArray text = log.readAll();
            log.close();
            return text;
        };
        QTRY_VERIFY_WITH_TIMEOUT(logged().contains("< SA \"Wall Panel\">1>1=0\n"), Timeout);
        const QByteArray sent = logged();
        QCOMPARE(sent.count("< SA \"Lectern\">2=O\n"), 1);
        QCOMPARE(sent.count("< SA \"Wall Panel\">1>1=1\n"), 1);
        QCOMPARE(sent.count("< SA \"Lectern\""), 1);
        QVERIFY(lectern->isChecked());

        // The device changes under the panel.
        QVERIFY(other.set("SA \"Wireless\">2=F"));
        QTRY_VERIFY_WITH_TIMEOUT(!wireless->isChecked(), Timeout);
        QVERIFY(other.set("SA \"Wireless\">2=O"));
        QTRY_VERIFY_WITH_TIMEOUT(wireless->isChecked(), Timeout);
        // Nothing the device reported was sent back: the three sets are the
        // other station's.
        QCOMPARE(logged().count("< SA \"Wireless\""), 3);

        // The shown state is drawn.
        QTRY_VERIFY_WITH_TIMEOUT(!lectern->isHeldOff(), Timeout);
        const QImage online = scene.view->grabWindow();
        QVERIFY(online != offline);
        keep(online, "buttons-" + skin.toLower() + "-online.png");

        model->setOnline(false);
        model->closeDocument();
    }
};

QTEST_MAIN(tst_ButtonPanel)
#include "tst_buttonpanel.moc"
