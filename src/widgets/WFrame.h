#pragma once

#include "WWidget.h"

// A frame behind a control's parts, and the invisible bounds item that gives
// a panel its extent.
class WFrame : public WWidget
{
    Q_OBJECT
public:
    explicit WFrame(QQuickItem *parent = nullptr);

    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;
};
