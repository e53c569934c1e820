#pragma once

#include "WWidget.h"

// A text on a panel, shown as rich text; "*LABEL*" and "*TITLE*" name the
// control's node.
class WLabel : public WWidget
{
    Q_OBJECT
public:
    explicit WLabel(QQuickItem *parent = nullptr);

    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;
    void setText(const QString &text) override;

    // The text without the face tags, and the face word they stand for.
    QString plainText() const;
    QString face() const;

protected:
    // The label's own keys; false when the name is none of them.
    bool processLabelKey(const QString &name, const QString &value);
    // Without the text when a subclass writes it among its own keys.
    void writeLabelKeys(XmlWriter &writer, bool withText = true) const;

private:
    QString substitutePlaceholders(const QString &text) const;
    void applyFace(const QString &face);
};
