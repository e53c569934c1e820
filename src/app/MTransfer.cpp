#include "MTransfer.h"

#include "CCanvas.h"
#include "CComposite.h"
#include "CPanelFile.h"
#include "DQmlMessageDialog.h"
#include "ITcpSender.h"
#include "ITcpServer.h"
#include "KvrLogging.h"
#include "MProject.h"
#include "PFileProtocol.h"
#include "PProtocolFactory.h"
#include "UArchive.h"
#include "USettings.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <limits>
#include <memory>

namespace {
std::unique_ptr<PFileProtocol> fileProtocol()
{
    std::unique_ptr<PProtocol> protocol(PProtocolFactory::instance().create(QStringLiteral("File")));
    if (auto *file = qobject_cast<PFileProtocol *>(protocol.get())) {
        protocol.release();
        return std::unique_ptr<PFileProtocol>(file);
    }
    return nullptr;
}

// Reads a panel file into objects of its own, as opening would, and keeps
// the exit PIN of the open project, which reading replaces.
bool readsAsPanelFile(const QString &path, QString *reason)
{
    CComposite scenes;
    CCanvas canvas;
    MProject project;
    const QString pin = MProject::exitPin();
    CPanelFile file(&scenes, &canvas, &project);
    const bool ok = file.read(path);
    MProject::setExitPin(pin);
    if (!ok)
        *reason = file.errorString();
    return ok;
}
} // namespace

MTransfer::MTransfer(QObject *parent) : QObject(parent), m_stallTimeoutMs(PFileProtocol::StallTimeoutMs)
{
    const std::unique_ptr<QSettings> settings(USettings::create());
    const QHostAddress stored(settings->value(QLatin1String(USettings::MobileAddressKey)).toString());
    m_address = stored.protocol() == QAbstractSocket::IPv4Protocol ? stored : QHostAddress(QStringLiteral("192.168.0.1"));
}

MTransfer::~MTransfer() = default;

void MTransfer::setMobileAddress(const QHostAddress &address)
{
    m_address = address;
    const std::unique_ptr<QSettings> settings(USettings::create());
    settings->setValue(QLatin1String(USettings::MobileAddressKey), address.toString());
}

void MTransfer::setSending(bool sending)
{
    const bool wasBusy = isBusy();
    m_sending = sending;
    if (wasBusy != isBusy())
        emit busyChanged(isBusy());
}

void MTransfer::setReceiving(bool receiving, quint16 port)
{
    const bool wasBusy = isBusy();
    m_receiving = receiving;
    m_listeningPort = port;
    if (wasBusy != isBusy())
        emit busyChanged(isBusy());
    emit receivingChanged(receiving);
}

// --- sending ---------------------------------------------------------------------

bool MTransfer::connectSender(ITcpSender *sender, const QHostAddress &address)
{
    sender->setAddress(address.toString());
    sender->setPort(m_port);
    sender->setConnectTimeout(ConnectWaitMs);
    // The connection is awaited in a loop of its own, so the window keeps
    // drawing while the device is slow to answer.
    QEventLoop loop;
    connect(sender, &IInterface::interfaceStateChanged, &loop, &QEventLoop::quit);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_connectLoop = &loop;
    if (!sender->open() && !m_sendAborted)
        loop.exec();
    m_connectLoop = nullptr;
    QGuiApplication::restoreOverrideCursor();
    if (sender->isConnected() && !m_sendAborted)
        return true;
    if (m_sendAborted)
        return false;
    emit warning(tr("Connection"), tr("Could not connect to: ") + address.toString() + QStringLiteral("\n\n")
                                       + sender->errorString());
    return false;
}

bool MTransfer::send(const QString &path, const QHostAddress &address)
{
    if (isBusy()) {
        qCDebug(lcApp) << "A transfer is under way; the send waits for it to end.";
        return false;
    }
    std::unique_ptr<PFileProtocol> protocol = fileProtocol();
    if (!protocol)
        return false;
    setSending(true);
    m_sendAborted = false;
    ITcpSender sender;
    sender.setProtocol(protocol.get());
    bool sent = false;
    if (connectSender(&sender, address)) {
        protocol->setInterface(&sender);
        protocol->setStallTimeout(m_stallTimeoutMs);
        m_sendProtocol = protocol.get();

        // The bar counts bytes while they fit an int, kibibytes beyond.
        const qint64 size = QFileInfo(path).size();
        const qint64 unit = size > std::numeric_limits<int>::max() ? 1024 : 1;
        QProgressDialog progress(tr("Sending to Mobile Device..."), tr("Abort"), 0, int(size / unit), m_window);
        progress.setWindowTitle(tr("Send to Mobile Device"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setWindowFlag(Qt::WindowStaysOnTopHint);
        progress.setMinimumDuration(0);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setValue(0);
        connect(&progress, &QProgressDialog::canceled, protocol.get(), &PFileProtocol::abort);
        connect(protocol.get(), &PFileProtocol::sendProgress, &progress,
                [this, &progress, unit](qint64 done, qint64 total) {
                    progress.setValue(int(done / unit));
                    emit sendProgress(done, total);
                });
        progress.show();
        sent = protocol->sendFile(path);
        progress.hide();
        m_sendProtocol = nullptr;
        report(*protocol, path, address);
    }
    sender.abort();
    setSending(false);
    return sent;
}

void MTransfer::report(const PFileProtocol &protocol, const QString &path, const QHostAddress &address)
{
    const QString name = QFileInfo(path).fileName();
    const QString device = address.toString();
    switch (protocol.outcome()) {
    case PFileProtocol::Outcome::Sent:
        emit message(tr("Sent %1 to %2.").arg(name, device));
        break;
    case PFileProtocol::Outcome::Aborted:
        emit message(tr("Aborted after %1 of %2 bytes.").arg(protocol.bytesSent()).arg(protocol.sendSize()));
        break;
    default:
        emit warning(tr("Send to Mobile Device"), tr("Sending %1 to %2 failed after %3 of %4 bytes.\n\n%5")
                                                      .arg(name, device)
                                                      .arg(protocol.bytesSent())
                                                      .arg(protocol.sendSize())
                                                      .arg(protocol.errorString()));
        break;
    }
}

void MTransfer::abortSend()
{
    if (!m_sending)
        return;
    m_sendAborted = true;
    if (m_connectLoop)
        m_connectLoop->quit();
    if (m_sendProtocol)
        m_sendProtocol->abort();
}

// --- receiving ---------------------------------------------------------------------

bool MTransfer::isPanelContent(const QString &path, QString *reason)
{
    if (!UArchive::isArchive(path))
        return readsAsPanelFile(path, reason);
    // An archive is opened in a folder of its own: the open document's
    // extracted files stay where they are.
    QTemporaryDir scratch;
    UArchive archive;
    archive.setArchiveRoot(scratch.path());
    if (!scratch.isValid() || !archive.open(path)) {
        *reason = tr("The file is neither a control panel file nor a complete control panel archive.");
        return false;
    }
    const QString panel = archive.memberPath(QStringLiteral(".cpf"));
    if (panel.isEmpty()) {
        *reason = tr("The archive holds no control panel file.");
        return false;
    }
    return readsAsPanelFile(panel, reason);
}

bool MTransfer::receive(const QString &target, const QString &boxText)
{
    if (isBusy()) {
        qCDebug(lcApp) << "Receive mode waits until the transfer under way has ended.";
        return false;
    }
    if (!m_boxHost) {
        qCDebug(lcApp) << "There is no MQmlInterface at this point. The cancel event "
                       << "will not be captured.";
        return false;
    }
    const QString title = tr("Receive Control Panel...");
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir(folder).exists() && !QDir().mkdir(folder)) {
        emit warning(title, tr("Cannot create the folder %1 for received panels.").arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    std::unique_ptr<PFileProtocol> protocol = fileProtocol();
    if (!protocol)
        return false;
    ITcpServer server;
    server.setProtocol(protocol.get());
    server.setPort(m_port);
    if (!server.open()) {
        emit warning(title, tr("Cannot listen for control panels on port %1:\n\n%2\n\nAnother program may be using the port.")
                                .arg(m_port)
                                .arg(server.errorString()));
        return false;
    }
    protocol->setInterface(&server);
    if (!protocol->receiveFile(target)) {
        emit warning(title, protocol->errorString());
        return false;
    }

    enum class End { Waiting, Finished, Failed, Cancelled };
    End end = End::Waiting;
    QEventLoop loop;
    connect(&server, &IInterface::connectionClose, &loop, [&] {
        end = End::Finished;
        loop.quit();
    });
    connect(&server, &ITcpServer::receiveFailed, &loop, [&] {
        end = End::Failed;
        loop.quit();
    });
    m_receiveLoop = &loop;
    m_receiveCancelled = false;
    setReceiving(true, server.serverPort());
    if (QMessageBox *box = m_boxHost->showReceiveBox(title, boxText); box && m_window) {
        // The box has no parent, so that it blocks nothing: it is put over
        // the window by hand.
        box->adjustSize();
        QPoint place = m_window->frameGeometry().center() - box->rect().center();
        place.setX(qMax(place.x(), m_window->frameGeometry().left()));
        box->move(place);
    }
    if (!m_receiveCancelled)
        loop.exec();
    if (m_boxHost)
        m_boxHost->closeReceiveBox();
    m_receiveLoop = nullptr;
    // The loop also ends when the program quits.
    if (end == End::Waiting)
        end = End::Cancelled;

    bool received = false;
    if (end == End::Finished) {
        received = protocol->commitReceived(&MTransfer::isPanelContent);
        if (received)
            emit message(tr("Received %1 (%2 bytes).").arg(QFileInfo(target).fileName()).arg(QFileInfo(target).size()));
        else
            emit warning(title, tr("The received file was not taken; %1 is unchanged.\n\n%2")
                                    .arg(QFileInfo(target).fileName(), protocol->errorString()));
    } else {
        if (end == End::Failed)
            emit warning(title, tr("Receiving failed; %1 is unchanged.\n\n%2")
                                    .arg(QFileInfo(target).fileName(),
                                         protocol->errorString().isEmpty() ? server.errorString()
                                                                           : protocol->errorString()));
        protocol->discardReceived();
    }
    qCDebug(lcApp) << "Closing the server after receive.";
    server.close();
    qCDebug(lcApp) << "Deleting the server, received or not.";
    setReceiving(false);
    return received;
}

void MTransfer::cancelReceive()
{
    if (!m_receiving)
        return;
    m_receiveCancelled = true;
    if (m_receiveLoop)
        m_receiveLoop->quit();
}
