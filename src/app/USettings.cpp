#include "USettings.h"

#include <QSettings>

const char *const USettings::Organisation = "Halvern";
const char *const USettings::Application = "Korvel Remote admin 3.0";
const char *const USettings::PanelsKey = "Path/Panels";
const char *const USettings::DesignsKey = "Path/Designs";
const char *const USettings::ArchiveKey = "Path/Archive";
const char *const USettings::MobileAddressKey = "Mobile/Address";

QSettings *USettings::create()
{
    return new QSettings(QLatin1String(Organisation), QLatin1String(Application));
}
