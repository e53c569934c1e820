#include "SimConsole.h"
#include "SimDevice.h"
#include "SimDeviceSource.h"
#include "SimLog.h"
#include "SimOptions.h"
#include "SimServer.h"
#include "SimSignalWatcher.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTextStream>

// kvrsim: serves simulated devices until SIGINT or SIGTERM. One line per
// device on standard output tells where it listens; the traffic log goes to
// standard error or the --log file. Exit codes: 0 after a signal, 1 when the
// devices cannot be served, 2 for a wrong command line.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvrsim"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    SimOptions options;
    switch (options.parse(QCoreApplication::arguments())) {
    case SimOptions::Outcome::Help:
        out << options.message();
        return 0;
    case SimOptions::Outcome::Error:
        err << "kvrsim: " << options.message() << "\nTry kvrsim --help.\n";
        return 2;
    case SimOptions::Outcome::Run:
        break;
    }

    QString error;
    QList<SimDeviceInfo> devices;
    if (!SimDeviceSource::collect(options, &devices, &error)) {
        err << "kvrsim: " << error << '\n';
        return 1;
    }

    SimLog log;
    log.setQuiet(options.quiet);
    if (!options.logFile.isEmpty() && !log.openFile(options.logFile, &error)) {
        err << "kvrsim: " << error << '\n';
        return 1;
    }

    SimServer server(options.faults, &log);
    server.setPhoneSettings(options.phone);
    server.addPhoneLines(options.pstnLines, options.voipLines);
    if (!server.start(devices, QHostAddress(options.bindAddress), &error)) {
        err << "kvrsim: " << error << '\n';
        return 1;
    }

    SimSignalWatcher watcher;
    if (!watcher.install())
        err << "kvrsim: cannot watch for signals; stop it with SIGKILL.\n";
    QObject::connect(&watcher, &SimSignalWatcher::stopRequested, &app, [&](int signalNumber) {
        log.write(QStringLiteral("[kvrsim]"), QStringLiteral("signal %1: stopping").arg(signalNumber));
        server.stop();
        QCoreApplication::quit();
    });

    for (const SimDevice *device : server.devices()) {
        out << "kvrsim: device " << device->info().nodeId << ' ' << device->info().displayName()
            << " listening on " << device->address().toString() << ':' << device->port() << '\n';
    }
    const auto ring = [&server](const QString &line, const QString &caller) {
        const int count = server.ring(line, caller);
        return count > 0 ? QStringLiteral("ringing on \"%1\" (%2 line(s))").arg(line).arg(count)
                         : QStringLiteral("no phone line \"%1\" free to ring").arg(line);
    };
    for (const auto &call : options.rings)
        out << "kvrsim: " << ring(call.first, call.second) << '\n';
    out.flush();

    // Calls from the far end, typed while the simulator runs.
    SimConsole console;
    console.addCommand(QStringLiteral("ring"), QStringLiteral("ring LINE [CALLER]"),
                       [&ring](const QStringList &arguments) {
                           if (arguments.isEmpty())
                               return QStringLiteral("ring needs a line: ring LINE [CALLER]");
                           return ring(arguments.first(), arguments.mid(1).join(QLatin1Char(' ')));
                       });
    console.addCommand(QStringLiteral("hangup"), QStringLiteral("hangup LINE"),
                       [&server](const QStringList &arguments) {
                           if (arguments.size() != 1)
                               return QStringLiteral("hangup needs a line: hangup LINE");
                           return server.hangUp(arguments.first()) > 0
                                      ? QStringLiteral("the far end hung up on \"%1\"").arg(arguments.first())
                                      : QStringLiteral("no call on \"%1\"").arg(arguments.first());
                       });
    QObject::connect(&console, &SimConsole::answered, &app, [&out](const QString &answer) {
        out << "kvrsim: " << answer << '\n';
        out.flush();
    });
    console.start();

    const int result = QCoreApplication::exec();
    log.close();
    return result;
}
