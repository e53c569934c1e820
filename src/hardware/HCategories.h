#pragma once

#include <QCoreApplication>
#include <QString>

// The folder texts under which a device shows its cards. A card names its
// category with the same function that the device uses for the folder, so
// that both stay equal under any translation.
class HCategories
{
    Q_DECLARE_TR_FUNCTIONS(HCategories)
public:
    static const char *const Analog;
    static const char *const Digital;
    static const char *const Pstn;
    static const char *const Voip;
    static const char *const Usb;
    static const char *const Dante;
    static const char *const Amp;
    // The processing blocks' folder; its text is not translated.
    static const char *const Blocks;

    // The translated text of one of the keys above.
    static QString text(const char *key);
};
