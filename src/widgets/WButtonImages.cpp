#include "WButtonImages.h"

#include "WImagePath.h"

#include <QFile>
#include <QUrl>

namespace {
enum Folder { Images, Skin, Accent };

struct ImageRule
{
    const char *key;
    Folder folder;
    const char *file;
};

// Matched by containment, in this order: "green_led_off" must be tried
// before "led_off", which it contains.
const ImageRule Rules[] = {
    {"mute_on", Accent, "mute_on.png"},
    {"mute_off", Skin, "mute_off.png"},
    {"green_led_off", Images, "ledOffGreen.png"},
    {"led_off", Images, "ledOffRed.png"},
    {"led_on", Images, "ledOn.png"},
    {"red_led", Images, "ledRed.png"},
    {"reset_all", Skin, "resetAll.png"},
    {"set_all", Skin, "setAll.png"},
    {"setup_button", Skin, "menu.png"},
    {"connection_indicator_off", Skin, "indicator_red.png"},
    {"connection_indicator_on", Skin, "indicator_grn.png"},
    {"connection_indicator_partial", Skin, "indicator_ylw.png"},
};

// The widget QML files live here; their relative image paths start from it.
const char *const WidgetFolder = "qrc:/qmlcontrol/";
} // namespace

QString WButtonImages::resolve(const QString &key, const QString &skin, const QString &accent)
{
    for (const ImageRule &rule : Rules) {
        if (!key.contains(QLatin1String(rule.key)))
            continue;
        if (skin.isEmpty())
            return QString();
        const QString file = QLatin1String(rule.file);
        switch (rule.folder) {
        case Images:
            return QStringLiteral("../images/") + file;
        case Skin:
            return QStringLiteral("../images/skins/%1/").arg(skin) + file;
        case Accent:
            return QStringLiteral("../images/skins/Accent/%1/").arg(accent) + file;
        }
    }
    // Any other key is a path, and only a safe one is used.
    return WImagePath::resolve(key, QString());
}

bool WButtonImages::exists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QUrl url = QUrl(QLatin1String(WidgetFolder)).resolved(QUrl(path));
    if (url.scheme() == QLatin1String("qrc"))
        return QFile::exists(QLatin1Char(':') + url.path());
    return url.isLocalFile() && QFile::exists(url.toLocalFile());
}

QString WButtonImages::setName(const QString &onKey, const QString &offKey, const QString &partialKey)
{
    const auto is = [](const QString &key, const char *expected) { return key == QLatin1String(expected); };
    if (is(onKey, "mute_on") && is(offKey, "mute_off"))
        return tr("Mute/Unmute");
    if (is(onKey, "led_on") && is(offKey, "led_off"))
        return tr("Green LED");
    if (is(offKey, "setup_button"))
        return tr("Setup Icon");
    if (is(offKey, "connection_indicator_off") && is(onKey, "connection_indicator_on")
        && is(partialKey, "connection_indicator_partial"))
        return tr("Connection Status Icon");
    if (is(offKey, "set_all"))
        return tr("Set All");
    if (is(offKey, "reset_all"))
        return tr("Reset All");
    return tr("Custom");
}
