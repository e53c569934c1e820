#include "HChassis.h"

HChassis::HChassis()
{
    setFlag(Device);
}

QString HChassis::category() const
{
    return QStringLiteral("Chassis");
}

QString HChassis::templateFolder() const
{
    return m_platform;
}
