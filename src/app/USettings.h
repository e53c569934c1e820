#pragma once

#include <QString>

class QSettings;

// The program's only configuration: the platform settings store of the
// organisation and application below, with three folder keys and the
// address of the mobile device that panels were last sent to.
class USettings
{
public:
    static const char *const Organisation;
    static const char *const Application;
    static const char *const PanelsKey;
    static const char *const DesignsKey;
    static const char *const ArchiveKey;
    static const char *const MobileAddressKey;

    // A new store on the program's settings; the caller owns it.
    static QSettings *create();
};
