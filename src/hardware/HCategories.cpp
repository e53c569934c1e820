#include "HCategories.h"

const char *const HCategories::Analog = QT_TRANSLATE_NOOP("HCategories", "Analog I/O");
const char *const HCategories::Digital = QT_TRANSLATE_NOOP("HCategories", "Digital I/O");
const char *const HCategories::Pstn = QT_TRANSLATE_NOOP("HCategories", "PSTN I/O");
const char *const HCategories::Voip = QT_TRANSLATE_NOOP("HCategories", "VoIP I/O");
const char *const HCategories::Usb = QT_TRANSLATE_NOOP("HCategories", "USB I/O");
const char *const HCategories::Dante = QT_TRANSLATE_NOOP("HCategories", "Dante I/O");
const char *const HCategories::Amp = QT_TRANSLATE_NOOP("HCategories", "Amp I/O");
const char *const HCategories::Blocks = "Blocks";

QString HCategories::text(const char *key)
{
    return tr(key);
}
