#include "CParameter.h"

#include "KvrLogging.h"

const char *const CParameter::TextKey = "text";
const char *const CParameter::TypeKey = "type";

CParameter::CParameter(const QString &text, const QString &type)
    : m_text(text)
    , m_type(type)
{
}

bool CParameter::setValue(const QString &key, const QString &value)
{
    if (key == QLatin1String(TextKey))
        m_text = value;
    else if (key == QLatin1String(TypeKey))
        m_type = value;
    else
        return false;
    return true;
}

QString CParameter::iconPath() const
{
    return iconPathFor(m_type);
}

QString CParameter::iconPathFor(const QString &type)
{
    struct Icon {
        const char *type;
        const char *path;
    };
    static const Icon icons[] = {
        {"Button", ":/images/ButtonIcon.png"},
        {"DropList", ":/images/DropListIcon.png"},
        {"Slider", ":/images/SliderIcon.png"},
        {"ParameterSet", ":/images/ParameterSetIcon.png"},
        {"Dialer", ":/images/Dialer.png"},
        {"Label", ":/images/AddLabel.png"},
        {"RoomSelector", ":/images/polygon.png"},
        {"ActiveRoomCombo", ":/images/AddLabel.png"},
        {"ComboSelector", ":/images/AddCSC.png"},
        {"LevelButton", ":/images/SliderIcon.png"},
        {"Meter", ":/images/meterBlack.png"},
    };
    for (const Icon &icon : icons) {
        if (type == QLatin1String(icon.type))
            return QString::fromLatin1(icon.path);
    }
    qCDebug(lcDocument).noquote() << "Icon path for" << type << "not found";
    return QString();
}
