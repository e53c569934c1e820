#include "PeerReceiver.h"
#include "PeerSender.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

// mobilepeer receive [--port P] [--bind A] [--out FILE] [--keep-listening] [--refuse | --stop-reading]
// mobilepeer send FILE [--host H] [--port P]
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The other end of a panel transfer. 'receive' listens as a mobile device does and saves the "
        "stream of one connection as a file; 'send FILE' sends a file to a listening program as "
        "another station does."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("mode"), QStringLiteral("receive or send"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("send: the file to send"), QStringLiteral("[file]"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("TCP port (default 10056; receive: 0 picks a free one)"),
                                  QStringLiteral("port"), QStringLiteral("10056"));
    const QCommandLineOption bind(QStringLiteral("bind"), QStringLiteral("receive: address to listen on (default 127.0.0.1)"),
                                  QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("receive: where the file goes (default received.bin)"),
                                 QStringLiteral("file"), QStringLiteral("received.bin"));
    const QCommandLineOption keep(QStringLiteral("keep-listening"), QStringLiteral("receive: stay for further transfers"));
    const QCommandLineOption refuse(QStringLiteral("refuse"), QStringLiteral("receive: close every connection at once"));
    const QCommandLineOption stop(QStringLiteral("stop-reading"), QStringLiteral("receive: accept and never read"));
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("send: address of the receiver (default 127.0.0.1)"),
                                  QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    parser.addOptions({port, bind, out, keep, refuse, stop, host});
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    const QString mode = args.value(0);
    QTextStream err(stderr);
    if (!portOk || portNumber > 65535 || (mode != QLatin1String("receive") && mode != QLatin1String("send"))
        || (mode == QLatin1String("send") && args.size() != 2) || (parser.isSet(refuse) && parser.isSet(stop))) {
        err << parser.helpText();
        return 2;
    }

    int exitCode = 0;
    // Queued: a failure can come before the event loop runs.
    const auto quit = [&app, &exitCode](int code) {
        exitCode = code;
        QMetaObject::invokeMethod(&app, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
    };
    if (mode == QLatin1String("send")) {
        PeerSender sender(args.at(1));
        QObject::connect(&sender, &PeerSender::finished, quit);
        sender.start(parser.value(host), quint16(portNumber));
        app.exec();
        return exitCode;
    }
    const auto behaviour = parser.isSet(refuse) ? PeerReceiver::Behaviour::Refuse
                           : parser.isSet(stop) ? PeerReceiver::Behaviour::StopReading
                                                : PeerReceiver::Behaviour::Receive;
    PeerReceiver receiver(parser.value(out), behaviour, parser.isSet(keep));
    QObject::connect(&receiver, &PeerReceiver::finished, quit);
    if (!receiver.listen(QHostAddress(parser.value(bind)), quint16(portNumber))) {
        err << "mobilepeer: cannot listen on " << parser.value(bind) << ":" << portNumber << ": "
            << receiver.errorString() << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << "mobilepeer: listening on " << parser.value(bind) << ":" << receiver.port() << Qt::endl;
    app.exec();
    return exitCode;
}
