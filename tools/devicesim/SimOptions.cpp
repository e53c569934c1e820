#include "SimOptions.h"

#include <QCommandLineParser>
#include <QHostAddress>

namespace {

bool readNumber(const QCommandLineParser &parser, const QString &name, int minimum, int maximum,
                int *value, QString *error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int number = parser.value(name).toInt(&ok);
    if (!ok || number < minimum || number > maximum) {
        *error = QStringLiteral("--%1 needs a whole number from %2 to %3, not \"%4\".")
                     .arg(name)
                     .arg(minimum)
                     .arg(maximum)
                     .arg(parser.value(name));
        return false;
    }
    *value = number;
    return true;
}

} // namespace

SimOptions::Outcome SimOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves simulated Korvel devices on TCP ports and answers their text protocol."));
    parser.addOptions({
        {QStringLiteral("port"), QStringLiteral("Serve a device on port P (repeatable; 0 picks a free port)."), QStringLiteral("P")},
        {QStringLiteral("design"), QStringLiteral("Serve one device per device of the design project FILE (.kvp)."), QStringLiteral("FILE")},
        {QStringLiteral("base-port"), QStringLiteral("Put the design's devices on ports B, B+1, ... instead of their own (0: free ports)."), QStringLiteral("B")},
        {QStringLiteral("bind"), QStringLiteral("Listen on ADDRESS (default 127.0.0.1)."), QStringLiteral("ADDRESS")},
        {QStringLiteral("log"), QStringLiteral("Append the traffic log to FILE instead of standard error."), QStringLiteral("FILE")},
        {QStringLiteral("quiet"), QStringLiteral("No traffic log on standard error.")},
        {QStringLiteral("drop-every"), QStringLiteral("Leave every Nth command of a connection unanswered."), QStringLiteral("N")},
        {QStringLiteral("nak-every"), QStringLiteral("Refuse every Nth command of a connection with NAK."), QStringLiteral("N")},
        {QStringLiteral("close-after"), QStringLiteral("Close a connection after answering N commands."), QStringLiteral("N")},
        {QStringLiteral("delay"), QStringLiteral("Delay every answer by MS milliseconds."), QStringLiteral("MS")},
        {QStringLiteral("refuse"), QStringLiteral("Close every connection as soon as it is accepted.")},
        {QStringLiteral("no-subscribe"), QStringLiteral("Refuse the subscription handshake and subscriptions.")},
        {QStringLiteral("pstn-line"), QStringLiteral("Give every device a PSTN line on block NAME (repeatable)."), QStringLiteral("NAME")},
        {QStringLiteral("voip-line"), QStringLiteral("Give every device a VoIP line on block NAME (repeatable)."), QStringLiteral("NAME")},
        {QStringLiteral("ring"), QStringLiteral("Let a call from CALLER ring on line NAME at start (repeatable)."), QStringLiteral("NAME[=CALLER]")},
        {QStringLiteral("phone-busy"), QStringLiteral("Calls to NUMBER find it engaged (repeatable)."), QStringLiteral("NUMBER")},
        {QStringLiteral("phone-step"), QStringLiteral("Each automatic step of a call takes MS milliseconds (default 1500)."), QStringLiteral("MS")},
        {QStringLiteral("silent-after"), QStringLiteral("After N commands a connection stays open and answers nothing."), QStringLiteral("N")},
        {QStringLiteral("stall-after"), QStringLiteral("After N commands a connection stops reading its socket."), QStringLiteral("N")},
        {QStringLiteral("split-replies"), QStringLiteral("Write every answer in two pieces, 80 ms apart.")},
        {QStringLiteral("restart-every"), QStringLiteral("Close everything and listen again after a pause, every S seconds."), QStringLiteral("S")},
    });
    const QCommandLineOption help = parser.addHelpOption();

    if (!parser.parse(arguments)) {
        m_message = parser.errorText();
        return Outcome::Error;
    }
    if (parser.isSet(help)) {
        m_message = parser.helpText();
        return Outcome::Help;
    }
    if (!parser.positionalArguments().isEmpty()) {
        m_message = QStringLiteral("Unexpected argument \"%1\".").arg(parser.positionalArguments().first());
        return Outcome::Error;
    }

    const QStringList portTexts = parser.values(QStringLiteral("port"));
    for (const QString &text : portTexts) {
        bool ok = false;
        const int port = text.toInt(&ok);
        if (!ok || port < 0 || port > 65535) {
            m_message = QStringLiteral("--port needs a port number from 0 to 65535, not \"%1\".").arg(text);
            return Outcome::Error;
        }
        ports.append(port);
    }
    designFile = parser.value(QStringLiteral("design"));
    if (!designFile.isEmpty() && !ports.isEmpty()) {
        m_message = QStringLiteral("Give either --port or --design, not both.");
        return Outcome::Error;
    }
    if (parser.isSet(QStringLiteral("base-port")) && designFile.isEmpty()) {
        m_message = QStringLiteral("--base-port only applies to the devices of --design.");
        return Outcome::Error;
    }
    if (!readNumber(parser, QStringLiteral("base-port"), 0, 65535, &basePort, &m_message)
        || !readNumber(parser, QStringLiteral("drop-every"), 1, 1000000, &faults.dropEvery, &m_message)
        || !readNumber(parser, QStringLiteral("nak-every"), 1, 1000000, &faults.nakEvery, &m_message)
        || !readNumber(parser, QStringLiteral("close-after"), 1, 1000000, &faults.closeAfter, &m_message)
        || !readNumber(parser, QStringLiteral("delay"), 0, 600000, &faults.delayMs, &m_message)
        || !readNumber(parser, QStringLiteral("phone-step"), 1, 600000, &phone.stepMs, &m_message)
        || !readNumber(parser, QStringLiteral("silent-after"), 1, 1000000, &faults.silentAfter, &m_message)
        || !readNumber(parser, QStringLiteral("stall-after"), 1, 1000000, &faults.stallAfter, &m_message)
        || !readNumber(parser, QStringLiteral("restart-every"), 1, 86400, &faults.restartEveryS, &m_message))
        return Outcome::Error;
    pstnLines = parser.values(QStringLiteral("pstn-line"));
    voipLines = parser.values(QStringLiteral("voip-line"));
    phone.busyNumbers = parser.values(QStringLiteral("phone-busy"));
    for (const QString &text : parser.values(QStringLiteral("ring"))) {
        const int equals = text.indexOf(QLatin1Char('='));
        const QString line = equals < 0 ? text : text.left(equals);
        if (line.trimmed().isEmpty()) {
            m_message = QStringLiteral("--ring needs the name of a line, not \"%1\".").arg(text);
            return Outcome::Error;
        }
        rings.append({line, equals < 0 ? QString() : text.mid(equals + 1)});
    }
    if (parser.isSet(QStringLiteral("bind")))
        bindAddress = parser.value(QStringLiteral("bind"));
    if (QHostAddress(bindAddress).isNull()) {
        m_message = QStringLiteral("--bind needs an IP address, not \"%1\".").arg(bindAddress);
        return Outcome::Error;
    }
    logFile = parser.value(QStringLiteral("log"));
    quiet = parser.isSet(QStringLiteral("quiet"));
    faults.refuse = parser.isSet(QStringLiteral("refuse"));
    faults.noSubscribe = parser.isSet(QStringLiteral("no-subscribe"));
    faults.splitReplies = parser.isSet(QStringLiteral("split-replies"));
    if (designFile.isEmpty() && ports.isEmpty())
        ports.append(SimDeviceInfo::DefaultPort);
    return Outcome::Run;
}
