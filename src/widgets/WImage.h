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

    // Where a panel file's image path points: a member of the open archive
    // when there is one of that name, else the path itself.
    static QString resolveImage(const QString &path);

private:
    void setBackgroundFillMode(int mode);

    QString m_path;
    QRectF m_savedGeometry = QRectF(-999, -999, -999, -999);
};
