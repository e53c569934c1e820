#pragma once

#include <QJsonObject>
#include <QString>

// One thing of a panel file that will not work: where it is (scene, panel,
// control and widget, or the device) and why.
struct CheckFinding
{
    enum Kind {
        // Read from the file.
        Design,           // the design project could not be read completely
        Unbound,          // the control reaches no node of the hardware tree
        NoParameter,      // the node's template offers no parameter of the control's name
        UnknownTransform, // no transform has the keyword the control names
        NoQml,            // the widget kind has no QML file in the program
        MissingPanel,     // a link leads to no panel of the file
        DuplicateId,      // the control stores the id of an earlier control
        MissingImage,     // an image the widget shows is nowhere to be had
        NoAddress,        // the device cannot be reached: no address or port
        // Found online.
        DeviceAbsent,     // the device takes no connection
        DeviceSilent,     // the device takes a connection and answers nothing
        Refused,          // the device refuses the control's parameter (NAK)
        Unanswered,       // the device leaves the control's parameter unanswered
        Unchecked,        // the parameter could not be asked
    };

    Kind kind = Unbound;
    QString scene;
    QString panel;
    QString control;
    quint32 controlId = 0;
    // The widget element ("region", "image", ...) the finding is about;
    // empty when it concerns the whole control.
    QString widget;
    // The device's label and connection key, for device findings.
    QString device;
    QString connection;
    QString message;
    // What the file names or the device said, for scripts.
    QJsonObject details;

    // The stable keyword of a kind ("unbound", "no-parameter", ...).
    static QString keyword(Kind kind);
    // A name as the messages quote it.
    static QString quoted(const QString &text);
    bool isDeviceFinding() const { return scene.isEmpty() && panel.isEmpty() && control.isEmpty(); }
    QJsonObject toJson() const;
};
