#include "CSpecialControls.h"

#include "CControl.h"

namespace {
struct Special
{
    const char *displayName;
    const char *type;
};
const Special Specials[] = {
    {QT_TRANSLATE_NOOP("CSpecialControls", "Label"), "Label"},
    {QT_TRANSLATE_NOOP("CSpecialControls", "Image"), "Image"},
    {QT_TRANSLATE_NOOP("CSpecialControls", "Frame"), "Frame"},
    {QT_TRANSLATE_NOOP("CSpecialControls", "Region"), "Region"},
    {QT_TRANSLATE_NOOP("CSpecialControls", "Setup Button"), "SettingsButton"},
    {QT_TRANSLATE_NOOP("CSpecialControls", "Connection Indicator"), "ConnectionIndicator"},
};
} // namespace

QStringList CSpecialControls::displayNames()
{
    QStringList names;
    for (const Special &s : Specials)
        names << tr(s.displayName);
    return names;
}

QString CSpecialControls::typeFor(const QString &displayName)
{
    for (const Special &s : Specials) {
        if (displayName == tr(s.displayName) || displayName == QLatin1String(s.displayName))
            return QLatin1String(s.type);
    }
    return QString();
}

CControl *CSpecialControls::create(const QString &displayName)
{
    const QString type = typeFor(displayName);
    return type.isEmpty() ? nullptr : new CControl(displayName, type);
}
