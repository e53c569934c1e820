#include "SimDeviceInfo.h"

int SimDeviceInfo::levelEntryCount(int slot) const
{
    return levelEntries.value(slot, DefaultLevelEntries);
}

QString SimDeviceInfo::displayName() const
{
    const QString name = label.isEmpty() ? QStringLiteral("Device %1").arg(nodeId) : label;
    return model.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, model);
}
