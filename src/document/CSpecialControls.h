#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class CControl;

// The decorative and system controls that belong to no device parameter: a
// label, an image, a frame, a region, the setup button and the connection
// indicator. The engineer picks them by their display name; the document
// keeps them under a fixed type name.
class CSpecialControls
{
    Q_DECLARE_TR_FUNCTIONS(CSpecialControls)
public:
    // The display names, translated, in menu order.
    static QStringList displayNames();
    // The type of the special control with the (translated or untranslated)
    // display name; empty for any other name.
    static QString typeFor(const QString &displayName);
    // A new control of that type named by the display name; null for a name
    // that is no special control. The caller owns it.
    static CControl *create(const QString &displayName);
};
