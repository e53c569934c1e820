#include "WImagePath.h"

#include "KvrLogging.h"
#include "MModel.h"
#include "UArchive.h"
#include "WDelegate.h"
#include "WWidgetFactory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

const char *const WImagePath::DefaultImage = "../images/default.png";

namespace {
// The folder the widget files live in; their relative image paths start
// from it.
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
    return path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1Char('\\')) || drive.match(path).hasMatch();
}
} // namespace

bool WImagePath::isBuiltIn(const QString &path)
{
    QUrl url;
    if (path.startsWith(QLatin1String(":/")))
        url = QUrl(QLatin1String("qrc") + path);
    else if (path.startsWith(QLatin1String("qrc:/")))
        url = QUrl(path);
    else if (!hasScheme(path) && !isAbsolute(path) && !path.contains(QLatin1Char('\\')))
        url = WidgetFolder.resolved(QUrl(path));
    // Resources cannot lead out of the program, however many ".." a path has.
    return url.scheme() == QLatin1String("qrc") && QFile::exists(QLatin1Char(':') + url.path());
}

WImagePath::Context WImagePath::current()
{
    Context context;
    const MModel *model = WDelegate::instance()->factory()->model();
    const QString file = model ? model->filePath() : QString();
    if (file.isEmpty())
        return context;
    const UArchive *archive = UArchive::instance();
    if (archive->path() == file)
        context.archive = archive;
    else if (!file.startsWith(QLatin1Char(':')))
        context.panelFolder = QFileInfo(file).absolutePath();
    return context;
}

QString WImagePath::resolve(const QString &path, const QString &fallback)
{
    return resolve(path, current(), fallback);
}

QString WImagePath::resolve(const QString &path, const Context &context, const QString &fallback)
{
    const QString text = path.trimmed();
    if (text.isEmpty())
        return QString();
    if (isBuiltIn(text))
        return text;
    QString local = text;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (context.archive && !hasScheme(text)) {
        // The designer's machine wrote its own path; the archive carries the
        // file under its name.
        const QUrl member = context.archive->memberUrl(QFileInfo(local).fileName());
        if (!member.isEmpty())
            return member.toString();
    }
    if (!context.panelFolder.isEmpty() && !hasScheme(text) && !isAbsolute(text)
        && !local.split(QLatin1Char('/')).contains(QLatin1String(".."))) {
        const QString folder = QFileInfo(context.panelFolder).canonicalFilePath();
        const QFileInfo file(context.panelFolder + QLatin1Char('/') + local);
        const QString canonical = file.canonicalFilePath();
        // A link beside the panel may point anywhere: only where it leads
        // counts.
        if (file.isFile() && !folder.isEmpty() && canonical.startsWith(folder + QLatin1Char('/')))
            return QUrl::fromLocalFile(canonical).toString();
    }
    qCWarning(lcWidgets).noquote() << "The image" << text
                                   << "is neither built in, nor in the open archive, nor beside the panel "
                                      "file; it is not used.";
    return fallback;
}
