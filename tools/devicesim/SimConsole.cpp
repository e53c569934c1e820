#include "SimConsole.h"

#include "SimDevice.h"

#include <QProcess>
#include <QSocketNotifier>
#include <QTextStream>

#include <unistd.h>

namespace {
// A line longer than this is no command; it is dropped up to its end.
constexpr int MaxLineBytes = 4096;
} // namespace

SimConsole::SimConsole(const QList<SimDevice *> &devices, QObject *parent)
    : QObject(parent), m_devices(devices)
{
}

SimConsole::~SimConsole() = default;

bool SimConsole::watchStandardInput()
{
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimConsole::onReadable);
    return m_notifier->isValid();
}

void SimConsole::onReadable()
{
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        // The other end closed standard input: nothing more will come.
        m_notifier->setEnabled(false);
        return;
    }
    m_input.append(buffer, int(count));
    QTextStream out(stdout);
    int end;
    while ((end = int(m_input.indexOf('\n'))) >= 0) {
        const QString line = QString::fromUtf8(m_input.left(end)).trimmed();
        m_input.remove(0, end + 1);
        if (m_discarding) {
            m_discarding = false;
            continue;
        }
        if (!line.isEmpty())
            out << execute(line) << '\n';
    }
    if (m_input.size() > MaxLineBytes) {
        m_input.clear();
        m_discarding = true;
    }
    out.flush();
}

QString SimConsole::execute(const QString &line)
{
    const int space = int(line.indexOf(QLatin1Char(' ')));
    const QString word = line.left(space);
    const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
    if (word == QLatin1String("set"))
        return setParameter(rest);
    if (word == QLatin1String("silent"))
        return goSilent(rest);
    if (word == QLatin1String("ring") || word == QLatin1String("hangup"))
        return phoneCall(word, QProcess::splitCommand(rest));
    return QStringLiteral("error: unknown command \"%1\" (set, silent, ring, hangup)").arg(word);
}

QString SimConsole::setParameter(const QString &rest)
{
    // The query may hold blanks (inside its quotes); the value is the last
    // word.
    const int last = int(rest.lastIndexOf(QLatin1Char(' ')));
    if (last <= 0)
        return QStringLiteral("error: set needs a query and a value");
    QString error;
    for (SimDevice *device : std::as_const(m_devices)) {
        if (!device->setParameter(rest.left(last).trimmed(), rest.mid(last + 1), &error))
            return QStringLiteral("error: ") + error;
    }
    return QStringLiteral("ok");
}

QString SimConsole::goSilent(const QString &rest)
{
    bool ok = false;
    const double seconds = rest.toDouble(&ok);
    if (!ok || seconds <= 0 || seconds > 86400)
        return QStringLiteral("error: silent needs a number of seconds");
    for (SimDevice *device : std::as_const(m_devices))
        device->goSilent(int(seconds * 1000));
    return QStringLiteral("ok");
}

QString SimConsole::phoneCall(const QString &word, const QStringList &arguments)
{
    const bool ring = word == QLatin1String("ring");
    if (arguments.isEmpty() || (!ring && arguments.size() != 1))
        return ring ? QStringLiteral("error: ring needs a line: ring LINE [CALLER]")
                    : QStringLiteral("error: hangup needs a line: hangup LINE");
    const QString name = arguments.first();
    const QString caller = arguments.mid(1).join(QLatin1Char(' '));
    int lines = 0;
    int done = 0;
    for (SimDevice *device : std::as_const(m_devices)) {
        SimPhoneLine *line = device->phoneLines().find(name);
        if (!line)
            continue;
        ++lines;
        done += (ring ? line->ring(caller) : line->farEndHangUp()) ? 1 : 0;
    }
    if (lines == 0)
        return QStringLiteral("error: no phone line \"%1\"").arg(name);
    if (done == 0)
        return ring ? QStringLiteral("error: a call is already waiting on \"%1\"").arg(name)
                    : QStringLiteral("error: no call on \"%1\"").arg(name);
    return QStringLiteral("ok");
}
