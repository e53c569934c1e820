#include "MProject.h"

#include "XmlPanelTags.h"
#include "XmlWriter.h"

#include <QStringList>
#include <QXmlAttributes>

const char *const MProject::ElementName = "Project";
const char *const MProject::DefaultFacility = "SITE NAME";
const char *const MProject::NoFacility = "None";

namespace {
// The sections of the Project element with their fields, in the order the
// file stores them and the information text shows them. The misspelt
// "BusinessManeger" is what every panel file carries.
struct Section
{
    const char *element;
    const char *title;
    bool showsEmptyFields;
    const char *keys[6];
};
const Section Sections[] = {
    {"Facility", QT_TRANSLATE_NOOP("MProject", "Facility"), true, {"name"}},
    {"BusinessManeger", QT_TRANSLATE_NOOP("MProject", "Business Manager"), true, {"name", "email", "tel"}},
    {"Engineer", QT_TRANSLATE_NOOP("MProject", "Engineer"), true, {"name", "email", "tel"}},
    {"Customer", QT_TRANSLATE_NOOP("MProject", "Customer"), true, {"name", "address", "email", "tel"}},
    {"Comments", QT_TRANSLATE_NOOP("MProject", "Comments"), false,
     {"comment1", "comment2", "comment3", "comment4", "comment5", "comment6"}},
};
const QLatin1String FacilitySection("Facility");
const QLatin1String NameKey("name");
const QLatin1String ExitCodeSection("ExitCode");
const QLatin1String ExitPinKey("exitPIN");

QString fieldId(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

bool holds(const QString &section, const QString &key)
{
    for (const Section &s : Sections) {
        if (section != QLatin1String(s.element))
            continue;
        for (const char *k : s.keys) {
            if (k && key == QLatin1String(k))
                return true;
        }
    }
    return false;
}

QString &exitPinStorage()
{
    static QString pin;
    return pin;
}
} // namespace

MProject::MProject()
{
    clear();
}

void MProject::clear()
{
    m_fields.clear();
    m_fields.insert(fieldId(FacilitySection, NameKey), QLatin1String(DefaultFacility));
}

bool MProject::setField(const QString &section, const QString &key, const QString &value)
{
    if (section == ExitCodeSection && key == ExitPinKey) {
        setExitPin(value);
        return true;
    }
    if (!holds(section, key))
        return false;
    const bool noFacility = section == FacilitySection && value == QLatin1String(NoFacility);
    m_fields.insert(fieldId(section, key), noFacility ? QString() : value);
    return true;
}

void MProject::setFromAttributes(const QString &section, const QXmlAttributes &attributes)
{
    // Only the attributes present change a field; the others keep theirs.
    for (int i = 0; i < attributes.length(); ++i)
        setField(section, attributes.localName(i), attributes.value(i));
}

QString MProject::field(const QString &section, const QString &key) const
{
    if (section == ExitCodeSection && key == ExitPinKey)
        return exitPin();
    return m_fields.value(fieldId(section, key));
}

QString MProject::facilityName() const
{
    return field(FacilitySection, NameKey);
}

bool MProject::isEmpty() const
{
    const QString facility = fieldId(FacilitySection, NameKey);
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        if (!it.value().isEmpty() && !(it.key() == facility && it.value() == QLatin1String(DefaultFacility)))
            return false;
    }
    return true;
}

bool MProject::writeXml(XmlWriter &writer) const
{
    if (!writer.openElement(QLatin1String(ElementName)))
        return false;
    writer.openElement(QLatin1String(XmlPanelTags::Property), QLatin1String(XmlPanelTags::Attributes));
    for (const Section &s : Sections) {
        const QString section = QLatin1String(s.element);
        writer.openElement(section);
        for (const char *k : s.keys) {
            if (!k)
                break;
            QString value = field(section, QLatin1String(k));
            if (section == FacilitySection && value.isEmpty())
                value = QLatin1String(NoFacility);
            writer.writeElement(QLatin1String(k), value);
        }
        writer.closeElement(section);
    }
    if (!exitPin().isEmpty()) {
        writer.openElement(ExitCodeSection);
        writer.writeElement(ExitPinKey, exitPin());
        writer.closeElement(ExitCodeSection);
    }
    writer.closeElement(QLatin1String(XmlPanelTags::Property));
    return writer.closeElement(QLatin1String(ElementName));
}

QString MProject::informationText() const
{
    // Each title with its fields, one per line; an empty line between sections.
    QStringList sections;
    for (const Section &s : Sections) {
        QString block = tr(s.title) + QLatin1Char('\n');
        for (const char *k : s.keys) {
            if (!k)
                break;
            const QString value = field(QLatin1String(s.element), QLatin1String(k));
            if (s.showsEmptyFields || !value.isEmpty())
                block += value + QLatin1Char('\n');
        }
        sections << block;
    }
    return sections.join(QLatin1Char('\n'));
}

QString MProject::exitPin()
{
    return exitPinStorage();
}

void MProject::setExitPin(const QString &pin)
{
    exitPinStorage() = pin;
}
