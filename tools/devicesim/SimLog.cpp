#include "SimLog.h"

#include <QDateTime>

#include <cstdio>

SimLog::~SimLog()
{
    close();
}

bool SimLog::openFile(const QString &path, QString *error)
{
    close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        *error = QStringLiteral("Cannot open the log file %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return true;
}

void SimLog::write(const QString &source, const QString &text)
{
    const QByteArray line = (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                             + QLatin1Char(' ') + source + QLatin1Char(' ') + text + QLatin1Char('\n'))
                                .toUtf8();
    if (m_file.isOpen()) {
        m_file.write(line);
        m_file.flush();
    } else if (!m_quiet) {
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fflush(stderr);
    }
}

void SimLog::close()
{
    if (m_file.isOpen()) {
        m_file.flush();
        m_file.close();
    }
}

QString SimLog::printable(const QByteArray &bytes)
{
    // Control bytes are single bytes in UTF-8, so they can be named after
    // the text has been decoded.
    QString text;
    for (const QChar c : QString::fromUtf8(bytes)) {
        const ushort u = c.unicode();
        if (u == 0x06)
            text += QLatin1String("<ACK>");
        else if (u == 0x15)
            text += QLatin1String("<NAK>");
        else if (u == 0x0D)
            text += QLatin1String("<CR>");
        else if (u == 0x0A)
            text += QLatin1String("<LF>");
        else if (u < 0x20 || u == 0x7F)
            text += QStringLiteral("<%1>").arg(u, 2, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text;
}
