#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QString>

class QXmlAttributes;
class XmlWriter;

// The contact record of an installation: the facility, three contacts and
// six comment lines, read from and written to the panel file's Project
// element. The exit PIN that a mobile user must enter to leave the remote
// app belongs to the process, not to one project: a file without one keeps
// the PIN of the files before it.
class MProject
{
    Q_DECLARE_TR_FUNCTIONS(MProject)
public:
    static const char *const ElementName;
    static const char *const DefaultFacility;
    // The facility name a file stores for an empty one.
    static const char *const NoFacility;

    MProject();
    virtual ~MProject() = default;

    // Every field empty and the facility "SITE NAME"; the exit PIN stays.
    void clear();

    // Sets one field by its section and key elements ("Customer"/"tel").
    // False for a pair the record does not hold, which changes nothing.
    bool setField(const QString &section, const QString &key, const QString &value);
    // For files that keep a section's fields as attributes of its element.
    void setFromAttributes(const QString &section, const QXmlAttributes &attributes);
    // The field's text; empty for a pair the record does not hold.
    QString field(const QString &section, const QString &key) const;

    QString facilityName() const;
    // No field holds anything but the default facility name.
    bool isEmpty() const;

    // Writes the Project element, its sections and keys in the file's order.
    bool writeXml(XmlWriter &writer) const;
    // The facility, the contacts and the comments under their titles, as
    // the scene shows them.
    QString informationText() const;

    static QString exitPin();
    static void setExitPin(const QString &pin);

private:
    // Keyed by section and field element, "Customer/tel".
    QHash<QString, QString> m_fields;
};
