#pragma once

#include "HComposite.h"

// A device of the project: a processor, an endpoint or an amplifier. It holds
// the device's cards and blocks, and the project-wide objects when it is the
// main processor.
class HChassis : public HComposite
{
    Q_OBJECT
public:
    HChassis();

    QString category() const override;
    // The device family, which names the folder of its control templates.
    QString templateFolder() const override;

    QString platform() const { return m_platform; }
    void setPlatform(const QString &platform) { m_platform = platform; }

private:
    QString m_platform = QStringLiteral("ZMP");
};
