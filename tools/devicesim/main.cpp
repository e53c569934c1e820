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
// standard error or the --log file. Lines on standard input change the
// devices from outside (SimConsole). Exit codes: 0 after a signal, 1 when the
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
    // Values, silences and calls from the far end, typed while the simulator
    // runs (and the calls asked for at start).
    SimConsole console(server.devices());
    for (const auto &call : options.rings) {
        out << "kvrsim: ring \"" << call.first << "\": "
            << console.execute(QStringLiteral("ring \"%1\" %2").arg(call.first, call.second)) << '\n';
    }
    out.flush();
    if (!console.watchStandardInput())
        err << "kvrsim: cannot read standard input; the console is off.\n";

    const int result = QCoreApplication::exec();
    log.close();
    return result;
}
