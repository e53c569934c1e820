#include "SimConsole.h"

#include <QProcess>
#include <QSocketNotifier>

#include <unistd.h>

namespace {
// A line longer than this is no command; it is dropped up to its end.
constexpr int MaxLineBytes = 4096;
} // namespace

SimConsole::SimConsole(QObject *parent) : QObject(parent)
{
    addCommand(QStringLiteral("help"), QStringLiteral("help"), [this](const QStringList &) {
        QStringList usages;
        for (const Command &command : std::as_const(m_commands))
            usages << command.usage;
        return QStringLiteral("commands: ") + usages.join(QStringLiteral("; "));
    });
}

SimConsole::~SimConsole() = default;

void SimConsole::addCommand(const QString &word, const QString &usage, Handler handler)
{
    m_commands.insert(word, Command{usage, std::move(handler)});
}

bool SimConsole::start(int fd)
{
    if (m_notifier)
        return true;
    m_fd = fd;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimConsole::onReadable);
    return m_notifier->isValid();
}

QString SimConsole::run(const QString &line)
{
    const QStringList words = QProcess::splitCommand(line);
    if (words.isEmpty())
        return QString();
    const auto it = m_commands.constFind(words.first().toLower());
    if (it == m_commands.constEnd())
        return QStringLiteral("unknown command \"%1\"; try help").arg(words.first());
    return it->handler(words.mid(1));
}

void SimConsole::onReadable()
{
    char buffer[1024];
    const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
    if (count <= 0) {
        // The end of the input (or an input that cannot be read): the
        // simulator goes on serving without a console.
        m_notifier->setEnabled(false);
        return;
    }
    m_pending.append(buffer, int(count));
    int end;
    while ((end = int(m_pending.indexOf('\n'))) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (m_discarding) {
            m_discarding = false;
            continue;
        }
        const QString answer = run(line);
        if (!answer.isEmpty())
            emit answered(answer);
    }
    if (m_pending.size() > MaxLineBytes) {
        m_pending.clear();
        m_discarding = true;
    }
}
