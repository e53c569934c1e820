#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QSocketNotifier;
class SimDevice;

// The simulator's standard input: one command a line, for tests and people
// who want a device to change by itself while clients are connected.
//   set <query> <value>      the value that query reads becomes value (the
//                            last word of the line), pushed to subscribers
//   silent <seconds>         the devices answer nothing and take no new
//                            connection for that long
//   ring <line> [<caller>]   a call from caller arrives on the telephone line
//                            of that block (in double quotes when it has
//                            blanks) on every device that has one
//   hangup <line>            the far end of that line's call hangs up
// Every device of the run is addressed. Each line is answered on standard output with "ok" or "error: " and the
// reason.
class SimConsole : public QObject
{
    Q_OBJECT
public:
    explicit SimConsole(const QList<SimDevice *> &devices, QObject *parent = nullptr);
    ~SimConsole() override;

    // Starts reading standard input; false when it cannot be watched.
    bool watchStandardInput();
    // Carries out one line; the answer as it is printed.
    QString execute(const QString &line);

private slots:
    void onReadable();

private:
    QString setParameter(const QString &rest);
    QString goSilent(const QString &rest);
    QString phoneCall(const QString &word, const QStringList &arguments);

    QList<SimDevice *> m_devices;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_input;
    bool m_discarding = false; // inside an over-long line
};
