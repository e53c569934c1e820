#include "../ModelScene.h"
#include "../TransferPeers.h"
#include "DDownloadDialog.h"
#include "DQmlMessageDialog.h"
#include "MQmlInterface.h"
#include "MTransfer.h"
#include "USettings.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <memory>

using namespace transfertest;

namespace {
const char *const Demo = ":/data/Korvel/Demo.cpz";
const QString Foyer = QStringLiteral(KVR_TEST_DATA "/panels/Foyer.cpf");
} // namespace

// Sending the open file to a phone and receive mode, through the model as
// the window and the scene drive them, with real peers on loopback.
class tst_Transfer : public QObject
{
    Q_OBJECT
    // The settings, the designs folder and the archive folder live here, so
    // that nothing of a run is left in the user's own.
    QTemporaryDir home;
    QTemporaryDir dir;
    ModelScene scene;
    MModel *model = nullptr;
    MTransfer *transfer = nullptr;

    QString target() const { return MModel::receiveTarget(); }

    // Runs receive mode from the setup menu; started() runs once it
    // listens. A receive that never ends is cancelled, failing the test.
    void receive(const std::function<void()> &started)
    {
        const QMetaObject::Connection link = connect(transfer, &MTransfer::receivingChanged, this, [started](bool on) {
            if (on)
                started();
        });
        QObject guard;
        QTimer::singleShot(Timeout, &guard, [this] { transfer->cancelReceive(); });
        QVERIFY(scene.view->qmlInterface()->postCommand("system", "Receive"));
        disconnect(link);
        QVERIFY(!transfer->isReceiving());
        QVERIFY(!scene.view->messageDialog()->receiveBox());
        QVERIFY(!QFile::exists(target() + "t"));
    }

private slots:
    void initTestCase()
    {
        qputenv("HOME", home.path().toLocal8Bit());
        QVERIFY(scene.setUp());
        model = scene.model;
        transfer = model->transfer();
        QSettings settings(USettings::Organisation, USettings::Application);
        settings.setValue(USettings::DesignsKey, dir.path());
        settings.setValue(USettings::ArchiveKey, home.path());
        transfer->setPort(0);
    }

    void abortInTheProgressDialogStopsTheSend()
    {
        const QString path = dir.filePath("large.cpz");
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

    void noConnectionIsSaidWithTheAddress()
    {
        transfer->setPort(freePort());
        QSignalSpy warning(model, &MModel::warning);
        QVERIFY(!transfer->send(Demo, QHostAddress::LocalHost));
        QCOMPARE(warning.count(), 1);
        QCOMPARE(warning.first().at(0).toString(), "Connection");
        QVERIFY(warning.first().at(1).toString().startsWith("Could not connect to: 127.0.0.1"));
    }

    void sendIsRefusedWithoutASetupMenuOrWhenModified_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("no tool bar, no setup button")
            << Foyer << false << "Error: " << "The Canvas does not include a toolbar and a\nSetup Button";
        QTest::newRow("edited, not saved") << Demo << true << "Warning" << "Please Save before Sending to Mobile Device";
        QTest::newRow("no file open") << QString() << false << "Warning" << "Please Save before Sending to Mobile Device";
    }
    void sendIsRefusedWithoutASetupMenuOrWhenModified()
    {
        QFETCH(QString, file);
        QFETCH(bool, modified);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QVERIFY(model->openFile(Demo));
        if (file.isEmpty())
            model->closeDocument();
        else
            QVERIFY(model->openFile(file));
        model->setModified(modified);
        bool dialogShown = false;
        QObject watch;
        whenModal<DDownloadDialog>(&watch, [&](DDownloadDialog *dialog) {
            dialogShown = true;
            dialog->reject();
        });
        QSignalSpy warning(model, &MModel::warning);
        QCOMPARE(model->sendToMobile(), 0);
        QCOMPARE(warning.count(), 1);
        QCOMPARE(warning.first().at(0).toString(), title);
        QVERIFY(warning.first().at(1).toString().startsWith(text));
        QVERIFY(!dialogShown);
    }

    void addressesNoDeviceHasAreRefused_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("usable");
        QTest::newRow("0.0.0.0") << "0.0.0.0" << false;
        QTest::newRow("broadcast") << "255.255.255.255" << false;
        QTest::newRow("multicast") << "224.0.0.1" << false;
        QTest::newRow("phone") << "192.168.0.1" << true;
        QTest::newRow("top of the range") << "223.255.255.254" << true;
    }
    void addressesNoDeviceHasAreRefused()
    {
        QFETCH(QString, address);
        QFETCH(bool, usable);
        QCOMPARE(DDownloadDialog::addressProblem(QHostAddress(address)).isEmpty(), usable);
        // Every octet survives the fields.
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
        // Sent whole by a "peer" or by "nc", or stopped midway and ended with
        // "cancel" in the box or because the program "quit"s.
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason"); // of the one warning, empty for none
        const QByteArray demo = readFile(Demo);
        QTest::newRow("panel file") << readFile(Foyer) << "peer" << QString();
        QTest::newRow("archive through nc") << demo << "nc" << QString();
        QTest::newRow("nothing") << QByteArray() << "peer" << "Nothing was received.";
        QTest::newRow("XML of something else") << QByteArray("<?xml version=\"1.0\"?>\n<html><body>Hello</body></html>\n")
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
        QVERIFY(writeFile(target(), "old panel"));
        QVERIFY(writeFile(dir.filePath("outgoing"), bytes));
        QVERIFY(model->openFile(Foyer));
        QSignalSpy warning(model, &MModel::warning);
        QProcess sender;
        StreamingPeer peer(bytes, whole ? -1 : 2000);
        receive([&] {
            if (how == "nc") {
                sender.setStandardInputFile(dir.filePath("outgoing"));
                sender.start(nc, {"-N", "127.0.0.1", QString::number(transfer->listeningPort())});
                return;
            }
            peer.start(transfer->listeningPort());
            if (whole)
                return;
            QTimer::singleShot(0, this, [&] {
                QTRY_VERIFY_WITH_TIMEOUT(peer.stopped() && QFile::exists(target() + "t"), Timeout);
                QMessageBox *box = scene.view->messageDialog()->receiveBox();
                QVERIFY(box && box->isVisible());
                if (how == "quit")
                    model->aboutToQuit();
                else
                    box->button(QMessageBox::Cancel)->click();
            });
        });
        QCOMPARE(readFile(target()), opens ? bytes : QByteArray("old panel"));
        const QString said = warning.isEmpty() ? QString() : warning.first().at(1).toString();
        QVERIFY2(warning.size() == (reason.isEmpty() ? 0 : 1) && said.contains(reason), qPrintable(said));
        // What was open stays open, unless a panel came.
        QCOMPARE(model->filePath(), opens ? target() : Foyer);
        QCOMPARE(model->isOnline() && model->isPolling(), opens);
        model->setOnline(false);
        if (how == "nc")
            QVERIFY(sender.waitForFinished(Timeout));
        else
            QTRY_VERIFY_WITH_TIMEOUT(peer.disconnected, Timeout);
    }

    void receiveModeRunsOnceAtATime()
    {
        int listened = 0;
        quint16 firstPort = 0;
        connect(transfer, &MTransfer::receivingChanged, this, [&](bool receiving) { listened += receiving; });
        receive([&] {
            firstPort = transfer->listeningPort();
            // A second Receive while the first waits is turned away, and
            // the first still listens where it did.
            QTimer::singleShot(0, this, [&] {
                QVERIFY(scene.view->qmlInterface()->postCommand("system", "Receive"));
                QVERIFY(transfer->isReceiving());
                QCOMPARE(transfer->listeningPort(), firstPort);
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, firstPort);
                QVERIFY(probe.waitForConnected(Timeout));
                probe.abort();
                transfer->cancelReceive();
            });
        });
        QCOMPARE(listened, 1);
        // Once it has ended, receive mode starts again.
        receive([&] { transfer->cancelReceive(); });
        QCOMPARE(listened, 2);
        disconnect(transfer, &MTransfer::receivingChanged, this, nullptr);
    }

    void aTakenPortIsSaidAndPollingGoesOn()
    {
        QTcpServer holder;
        QVERIFY(holder.listen(QHostAddress::AnyIPv4, 0));
        transfer->setPort(holder.serverPort());
        model->closeDocument();
        model->setOnline(true);
        QSignalSpy warning(model, &MModel::warning);
        QSignalSpy receiving(transfer, &MTransfer::receivingChanged);
        QVERIFY(scene.view->qmlInterface()->postCommand("system", "Receive"));
        QCOMPARE(receiving.count(), 0);
        QCOMPARE(warning.count(), 1);
        QVERIFY(warning.first().at(1).toString().contains(QString::number(holder.serverPort())));
        QVERIFY(warning.first().at(1).toString().contains("in use"));
        QVERIFY(model->isPolling());
        model->setOnline(false);
        transfer->setPort(0);
    }

    void withoutAReceiveBoxReceiveModeDoesNotStart()
    {
        // Nothing could cancel it.
        MTransfer lonely;
        lonely.setPort(0);
        QSignalSpy receiving(&lonely, &MTransfer::receivingChanged);
        QVERIFY(!lonely.receive(target(), "Waiting"));
        QCOMPARE(receiving.count(), 0);
        QVERIFY(!QFile::exists(target() + "t"));
    }
};

QTEST_MAIN(tst_Transfer)
#include "tst_transfer.moc"
