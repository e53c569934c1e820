#pragma once

#include "WButton.h"

// A small key that hands a command text to the widget it is linked to (a
// speed-dial key next to a dialer). It sends nothing to a device itself.
class WCmdButton : public WButton
{
    Q_OBJECT
public:
    explicit WCmdButton(QQuickItem *parent = nullptr);

    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;

    QString command() const { return m_command; }
    // The picture a key of the file names: a bare name is one of the
    // program's images.
    static QString imagePath(const QString &key);

public slots:
    // From QML on a press.
    void outputPressed();
    void outputReleased();

private:
    QString m_command;
    QString m_imageKey;
};
