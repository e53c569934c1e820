#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

#include <functional>

class QSocketNotifier;

// Commands typed on the simulator's standard input, one per line: a command
// word and its arguments, an argument with blanks in double quotes, e.g.
//   ring "Phone Receive" Front Desk 201
// Every line is answered with one line (answered()).
class SimConsole : public QObject
{
    Q_OBJECT
public:
    // Gets the arguments after the word; gives the answer.
    using Handler = std::function<QString(const QStringList &arguments)>;

    explicit SimConsole(QObject *parent = nullptr);
    ~SimConsole() override;

    void addCommand(const QString &word, const QString &usage, Handler handler);
    // Reads lines from the file descriptor (standard input by default) from
    // now on; stops at its end.
    bool start(int fd = 0);
    // Carries out one line and gives its answer.
    QString run(const QString &line);

signals:
    void answered(const QString &text);

private slots:
    void onReadable();

private:
    struct Command
    {
        QString usage;
        Handler handler;
    };

    QMap<QString, Command> m_commands;
    QSocketNotifier *m_notifier = nullptr;
    int m_fd = -1;
    QByteArray m_pending;
    bool m_discarding = false; // inside an over-long line
};
