#include "SimConsole.h"

#include "SimDevice.h"

#include <QSocketNotifier>
#include <QTextStream>

#include <unistd.h>

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
        if (!line.isEmpty())
            out << execute(line) << '\n';
    }
    out.flush();
}

QString SimConsole::execute(const QString &line)
{
    const int space = int(line.indexOf(QLatin1Char(' ')));
    const QString word = line.left(space);
    const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
    if (word == QLatin1String("set")) {
        // The query may hold blanks (inside its quotes); the value is the
        // last word.
        const int last = int(rest.lastIndexOf(QLatin1Char(' ')));
        if (last <= 0)
            return QStringLiteral("error: set needs a query and a value");
        QString error;
        for (SimDevice *device : qAsConst(m_devices)) {
            if (!device->setParameter(rest.left(last).trimmed(), rest.mid(last + 1), &error))
                return QStringLiteral("error: ") + error;
        }
        return QStringLiteral("ok");
    }
    if (word == QLatin1String("silent")) {
        bool ok = false;
        const double seconds = rest.toDouble(&ok);
        if (!ok || seconds <= 0 || seconds > 86400)
            return QStringLiteral("error: silent needs a number of seconds");
        for (SimDevice *device : qAsConst(m_devices))
            device->goSilent(int(seconds * 1000));
        return QStringLiteral("ok");
    }
    return QStringLiteral("error: unknown command \"%1\" (set, silent)").arg(word);
}
