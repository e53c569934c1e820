#include "CheckImages.h"

#include "UArchive.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {
// The widget files live here; their relative image paths start from it.
const QUrl WidgetFolder(QStringLiteral("qrc:/qmlcontrol/"));

// A URL scheme of more than one letter (a single letter is a drive).
bool hasScheme(const QString &path)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(path).hasMatch();
}

bool isAbsolute(const QString &path)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    return path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1Char('\\'))
           || drive.match(path).hasMatch();
}
} // namespace

CheckImages::CheckImages(const UArchive *archive, const QString &panelFolder)
    : m_archive(archive)
    , m_panelFolder(panelFolder)
    , m_canonicalFolder(panelFolder.isEmpty() ? QString() : QFileInfo(panelFolder).canonicalFilePath())
{
}

bool CheckImages::isBuiltIn(const QString &path)
{
    QUrl url;
    if (path.startsWith(QLatin1String(":/")))
        url = QUrl(QLatin1String("qrc") + path);
    else if (path.startsWith(QLatin1String("qrc:/")))
        url = QUrl(path);
    else if (!hasScheme(path) && !isAbsolute(path) && !path.contains(QLatin1Char('\\')))
        url = WidgetFolder.resolved(QUrl(path));
    return url.scheme() == QLatin1String("qrc") && QFile::exists(QLatin1Char(':') + url.path());
}

bool CheckImages::isAvailable(const QString &path) const
{
    const QString text = path.trimmed();
    if (text.isEmpty() || isBuiltIn(text))
        return true;
    if (hasScheme(text))
        return false;
    QString local = text;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // The designer's machine wrote its own path; the archive carries the
    // file under its name.
    if (m_archive && !m_archive->memberUrl(QFileInfo(local).fileName()).isEmpty())
        return true;
    if (m_canonicalFolder.isEmpty() || isAbsolute(text) || local.split(QLatin1Char('/')).contains(QLatin1String("..")))
        return false;
    // A link beside the panel may point anywhere: only where it leads counts.
    const QFileInfo file(m_panelFolder + QLatin1Char('/') + local);
    return file.isFile() && file.canonicalFilePath().startsWith(m_canonicalFolder + QLatin1Char('/'));
}
