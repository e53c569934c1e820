#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QWidget>

class DQmlMessageDialog;
class ITcpSender;
class QEventLoop;
class PFileProtocol;

// The panel transfers of the application model: sending the open file to a
// mobile device, and receive mode, in which another station sends a panel
// file here. One transfer runs at a time; each runs its own event loop, so
// the window stays live, and tells the user how it ended.
class MTransfer : public QObject
{
    Q_OBJECT
public:
    static constexpr int Port = 10056;
    // How long a mobile device may take to accept the connection.
    static constexpr int ConnectWaitMs = 1000;

    explicit MTransfer(QObject *parent = nullptr);
    ~MTransfer() override;

    // The window the progress dialog belongs to.
    void setWindow(QWidget *window) { m_window = window; }
    // Shows the receive box; without it receive mode cannot be cancelled
    // and does not start.
    void setReceiveBoxHost(DQmlMessageDialog *host) { m_boxHost = host; }

    // The address last sent to, kept in the settings store under
    // "Mobile/Address" (192.168.0.1 until something was sent).
    QHostAddress mobileAddress() const { return m_address; }
    void setMobileAddress(const QHostAddress &address);

    // The transfer port, both ways; 0 receives on any free port.
    int port() const { return m_port; }
    void setPort(int port) { m_port = port; }
    void setStallTimeout(int ms) { m_stallTimeoutMs = ms; }

    bool isSending() const { return m_sending; }
    bool isReceiving() const { return m_receiving; }
    bool isBusy() const { return m_sending || m_receiving; }
    // The port receive mode listens on; 0 outside receive mode.
    quint16 listeningPort() const { return m_listeningPort; }

    // Sends the file to the device at address and reports how it went.
    // True only when every byte arrived and the connection closed cleanly.
    bool send(const QString &path, const QHostAddress &address);
    // Receive mode: listens and shows the receive box with the text until a
    // sender has finished, the user cancels or the transfer fails. True when
    // a received panel file replaced target.
    bool receive(const QString &target, const QString &boxText);

    // Whether a file is a control panel file or an archive that holds one,
    // read by the same readers that open files.
    static bool isPanelContent(const QString &path, QString *reason);

public slots:
    void cancelReceive();
    void abortSend();

signals:
    void busyChanged(bool busy);
    // Listening has begun or receive mode has ended.
    void receivingChanged(bool receiving);
    void sendProgress(qint64 sent, qint64 total);
    void warning(const QString &title, const QString &text);
    // How a transfer ended, for the status line.
    void message(const QString &text);

private:
    bool connectSender(ITcpSender *sender, const QHostAddress &address);
    void report(const PFileProtocol &protocol, const QString &path, const QHostAddress &address);
    void setSending(bool sending);
    void setReceiving(bool receiving, quint16 port = 0);

    QPointer<QWidget> m_window;
    QPointer<DQmlMessageDialog> m_boxHost;
    QHostAddress m_address;
    int m_port = Port;
    int m_stallTimeoutMs;
    bool m_sending = false;
    bool m_receiving = false;
    quint16 m_listeningPort = 0;
    QPointer<PFileProtocol> m_sendProtocol;
    QEventLoop *m_connectLoop = nullptr;
    bool m_sendAborted = false;
    QEventLoop *m_receiveLoop = nullptr;
    bool m_receiveCancelled = false;
};
