#pragma once

#include "WWidget.h"

// A picture on a panel; as a background it fills its panel and does not
// count for the control's outline.
class WImage : public WWidget
{
    Q_OBJECT
public:
    explicit WImage(QQuickItem *parent = nullptr);

    void initialize(QQuickItem *item) override;
    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;
    QRectF geometry() const override;

    bool isBackground() const { return itemProperty("backgroundFillMode").toInt() >= 0; }
    // The place the image keeps for when it stops being a background; null
    // when there is none.
    QRectF savedGeometry() const;

private:
    void setBackgroundFillMode(int mode);
    // A geometry key of a background goes to the kept place.
    bool keepRect(const QString &name, const QString &value);

    QString m_path;
    QRectF m_savedGeometry = QRectF(-999, -999, -999, -999);
};
