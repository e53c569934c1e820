#pragma once

#include <QString>

class UArchive;

// Whether an image a panel names can be shown: a built-in image, a member of
// the open archive, or a file beside a plain panel file inside its folder,
// the places the widgets take images from.
class CheckImages
{
public:
    // archive: the archive the panel came in, or null; panelFolder: the
    // folder of a plain panel file, or empty.
    CheckImages(const UArchive *archive, const QString &panelFolder);

    bool isAvailable(const QString &path) const;
    // Whether path names an image built into the program (":/images/x.png",
    // "qrc:/images/x.png", or "../images/x.png" as the widget files see it).
    static bool isBuiltIn(const QString &path);

private:
    const UArchive *m_archive;
    QString m_panelFolder;
    QString m_canonicalFolder;
};
