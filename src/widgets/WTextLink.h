#pragma once

#include "WButton.h"

// A text that acts as a key: a click sends the link's index, and the link
// is marked while the device reports that index as the current one (one of
// several links choosing a band, a preset or a page of a block).
class WTextLink : public WButton
{
    Q_OBJECT
public:
    explicit WTextLink(QQuickItem *parent = nullptr);

    void destroy() override;
    void refresh() override;
    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;

    int index() const { return m_index; }
    int current() const { return m_current; }

public slots:
    // From QML on a click.
    void outputClicked();

private:
    void setIndex(int index);

    int m_index = 0;
    int m_current = -1;
};
