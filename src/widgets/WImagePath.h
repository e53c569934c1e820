#pragma once

#include <QString>

class UArchive;

// Where an image that a panel file names may be read from. A panel file that
// arrives from another station is opened by itself, so its paths must not
// reach anything else on the machine: an image is a built-in one, a member
// extracted from the open archive, or a file beside the open panel file
// inside that file's folder. Any other path ("/home/...", "C:\...", "..\",
// a device, a URL) gives the default image and a warning.
class WImagePath
{
public:
    static const char *const DefaultImage;

    // What the open document lets images come from.
    struct Context
    {
        // The archive whose members are the document's files; null when the
        // document is a plain panel file.
        const UArchive *archive = nullptr;
        // The folder of a plain panel file; empty when there is none.
        QString panelFolder;
    };

    // The context of the document the application model has open.
    static Context current();

    // The image source an item shows for path: a built-in path as written,
    // a member or a file as a file URL, and fallback (with a warning) for a
    // path that leads anywhere else. An empty path gives an empty text.
    static QString resolve(const QString &path, const QString &fallback = QLatin1String(DefaultImage));
    static QString resolve(const QString &path, const Context &context, const QString &fallback);

    // Whether path names an image built into the program (":/images/x.png",
    // "qrc:/images/x.png", or "../images/x.png" as the widget files see it).
    static bool isBuiltIn(const QString &path);
};
