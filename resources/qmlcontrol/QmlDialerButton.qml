import QtQuick

// One key of the dialer. A press ends in exactly one of three signals: a
// short press is clicked(), a press of at least holdMs is held() (given on
// release; the key lights up once the hold counts), and a press of five
// seconds is heldFiveSeconds() (given at once).
Rectangle {
    id: key
    property string label: ""
    property string subLabel: ""
    // A key of the number pad: a big bold figure over its letters.
    property bool digitKey: false
    property url icon: ""
    property color keyColor: "#FF3C3C3C"
    property color labelColor: "#FFFFFFFF"
    property bool keyEnabled: true
    property int holdMs: 800
    readonly property bool holding: holdTimer.counted

    signal clicked()
    signal held()
    signal heldFiveSeconds()

    radius: Math.min(width, height) * 0.18
    color: mouse.pressed ? Qt.lighter(keyColor, 1.45) : keyColor
    border.width: holding ? Math.max(1, height * 0.05) : 0
    border.color: intrf.accentColor
    opacity: keyEnabled ? 1.0 : 0.35

    Row {
        anchors.centerIn: parent
        spacing: key.height * 0.08
        Image {
            visible: key.icon != ""
            source: key.icon
            height: key.height * 0.5
            width: height
            anchors.verticalCenter: parent.verticalCenter
            fillMode: Image.PreserveAspectFit
            smooth: true
            mipmap: true
        }
        Column {
            anchors.verticalCenter: parent.verticalCenter
            visible: key.label !== ""
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: key.label
                color: key.labelColor
                font.pixelSize: Math.max(6, key.height * (key.digitKey ? 0.42 : (key.icon != "" ? 0.3 : 0.36)))
                font.bold: key.digitKey
            }
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                visible: key.digitKey
                // Keys without letters keep their figure where the others have it.
                text: key.subLabel !== "" ? key.subLabel : " "
                color: Qt.darker(key.labelColor, 1.4)
                font.pixelSize: Math.max(5, key.height * 0.17)
            }
        }
    }

    Timer {
        id: holdTimer
        property bool counted: false
        interval: key.holdMs
        onTriggered: counted = true
    }
    Timer {
        id: fiveSecondTimer
        property bool fired: false
        interval: 5000
        onTriggered: { fired = true; key.heldFiveSeconds() }
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        enabled: key.keyEnabled && !intrf.editModeEnable
        onPressed: {
            holdTimer.counted = false
            fiveSecondTimer.fired = false
            holdTimer.restart()
            fiveSecondTimer.restart()
        }
        onReleased: {
            holdTimer.stop()
            fiveSecondTimer.stop()
            if (fiveSecondTimer.fired)
                return
            if (holdTimer.counted)
                key.held()
            else
                key.clicked()
        }
        onCanceled: {
            holdTimer.stop()
            fiveSecondTimer.stop()
            holdTimer.counted = false
        }
    }
}
