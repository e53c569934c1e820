#pragma once

#include <QCoreApplication>
#include <QString>

// The pictures of a button: which file a panel file's image key names in
// the current skin and accent, whether that file exists, and the name of
// the image set that a pair of keys forms.
class WButtonImages
{
    Q_DECLARE_TR_FUNCTIONS(WButtonImages)
public:
    // The path, relative to the widget QML files, of the first rule whose
    // key the text contains; a text that contains no key names a file of
    // the open archive, or is a path itself. Without a skin (no model) the
    // keyed rules give an empty path.
    static QString resolve(const QString &key, const QString &skin, const QString &accent);
    // Whether the widget files can load the image at path.
    static bool exists(const QString &path);
    // "Mute/Unmute", "Green LED", ... or "Custom", translated.
    static QString setName(const QString &onKey, const QString &offKey, const QString &partialKey);
};
