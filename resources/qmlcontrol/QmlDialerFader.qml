import QtQuick

// A line of the dialer's display whose text fades over when it changes, so
// that "Dialing", "Active" and "Call Ended" follow each other softly.
Item {
    id: fader
    property string text: ""
    property color color: "#FFFFFFFF"
    property real pixelSize: 12
    property int horizontalAlignment: Text.AlignHCenter
    property int fadeMs: 250

    Text {
        id: previous
        anchors.fill: parent
        color: fader.color
        font.pixelSize: fader.pixelSize
        horizontalAlignment: fader.horizontalAlignment
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        opacity: 0
    }
    Text {
        id: current
        objectName: "currentText"
        anchors.fill: parent
        color: fader.color
        font.pixelSize: fader.pixelSize
        horizontalAlignment: fader.horizontalAlignment
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    ParallelAnimation {
        id: fade
        NumberAnimation { target: previous; property: "opacity"; from: 1; to: 0; duration: fader.fadeMs }
        NumberAnimation { target: current; property: "opacity"; from: 0; to: 1; duration: fader.fadeMs }
    }

    Component.onCompleted: current.text = text
    onTextChanged: {
        previous.text = current.text
        current.text = text
        fade.restart()
    }
}
