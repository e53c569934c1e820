#pragma once

// What a panel meets online, for the tests that run one against a simulated device on loopback: the device with the log
// of every command it took, and another station on the device's network that sets and asks as a second remote would.

#include "TransferPeers.h"
#include "comm/CommTestUtil.h"

namespace simtest {

constexpr int Timeout = 8000;

// The replacement that moves a fixture's device to the simulator's port.
inline QPair<QByteArray, QByteArray> onPort(quint16 port) { return {"10055", QByteArray::number(port)}; }

// A simulated device that logs each command it takes as "< command".
struct LoggedSim : commtest::SimPeer
{
    LoggedSim()
    {
        QString error;
        ready = listening && log.openFile(dir.filePath("device.log"), &error);
        if (!ready)
            qWarning() << "the simulated device is not ready:" << error;
    }
    QByteArray logged() const { return transfertest::readFile(dir.filePath("device.log")); }
    QTemporaryDir dir;
    bool ready = false;
};

class OtherStation
{
public:
    explicit OtherStation(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        connected = socket.waitForConnected(Timeout);
    }
    // The device's answer to command: a line, or ACK (or NAK) alone for a set; empty when none came in time.
    QByteArray ask(const QByteArray &command)
    {
        socket.readAll();
        socket.write(command + '\r');
        QByteArray answer;
        const auto complete = [&] {
            answer += socket.readAll();
            return answer.endsWith('\r') || answer == "\x06" || answer == "\x15";
        };
        return QTest::qWaitFor(complete, Timeout) ? answer : QByteArray();
    }
    QTcpSocket socket;
    bool connected = false;
};

} // namespace simtest
