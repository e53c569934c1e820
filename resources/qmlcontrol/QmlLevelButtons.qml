import QtQuick
import wlevelbuttons

// A level set with a minus and a plus key, the value between them and the
// control's text above. A click moves one position; a key held down repeats
// every 200 ms until it is let go, the press is cancelled, the end of the
// range is reached or the item is hidden.
Item {
    id: levels
    width: 112
    height: 70

    property int minimumValue: 0
    property int maximumValue: 100
    property int value: 0
    property string valueText: ""
    property string text: ""
    property color knobColor: intrf.accentColor
    property int hasBorder: 1
    property int isCircularEnabled: 0
    // -1 or 1 while a key is held.
    property int repeatDirection: 0

    function step(direction) {
        var next = Math.max(minimumValue, Math.min(maximumValue, value + direction))
        if (next === value)
            return false
        value = next
        wwidget.outputValue(next)
        return true
    }
    function stopRepeat() {
        repeatDirection = 0
        repeater.stop()
    }
    onVisibleChanged: if (!visible) stopRepeat()
    onEnabledChanged: if (!enabled) stopRepeat()

    readonly property real textHeight: text.length > 0 ? height * 0.34 : 0
    readonly property real keySize: Math.max(10, Math.min(height - textHeight, width * 0.32))

    Text {
        id: title
        anchors { top: parent.top; left: parent.left; right: parent.right }
        height: levels.textHeight
        visible: levels.textHeight > 0
        text: levels.text
        color: intrf.textColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        font.pixelSize: Math.max(6, height * 0.7)
    }

    component Key: Rectangle {
        id: key
        property int direction: 1
        property bool flashing: false
        width: levels.keySize
        height: levels.keySize
        radius: levels.isCircularEnabled ? width / 2 : Math.min(6, width / 6)
        color: flashing ? levels.knobColor : "transparent"
        border.width: levels.hasBorder ? Math.max(1, width * 0.04) : 0
        border.color: intrf.borderColor
        opacity: enabled ? 1.0 : 0.5

        // The sign, drawn as bars so it is the same in every font.
        Rectangle {
            anchors.centerIn: parent
            width: parent.width * 0.44
            height: Math.max(2, parent.width * 0.09)
            radius: height / 2
            color: key.flashing ? "#FFFFFF" : intrf.textColor
        }
        Rectangle {
            visible: key.direction > 0
            anchors.centerIn: parent
            width: Math.max(2, parent.width * 0.09)
            height: parent.width * 0.44
            radius: width / 2
            color: key.flashing ? "#FFFFFF" : intrf.textColor
        }
        Timer {
            id: flash
            interval: 100
            onTriggered: key.flashing = false
        }
        MouseArea {
            anchors.fill: parent
            enabled: !intrf.editModeEnable
            onPressed: {
                key.flashing = true
                flash.restart()
                if (levels.step(key.direction)) {
                    levels.repeatDirection = key.direction
                    repeater.interval = 400
                    repeater.restart()
                }
            }
            onReleased: levels.stopRepeat()
            onCanceled: levels.stopRepeat()
        }
    }

    Item {
        anchors { top: title.bottom; left: parent.left; right: parent.right; bottom: parent.bottom }

        Key {
            direction: -1
            anchors { left: parent.left; verticalCenter: parent.verticalCenter }
        }
        Text {
            anchors.centerIn: parent
            width: parent.width - 2 * levels.keySize - 4
            text: levels.valueText
            color: intrf.textColor
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 6
            font.pixelSize: Math.max(6, levels.keySize * 0.42)
        }
        Key {
            direction: 1
            anchors { right: parent.right; verticalCenter: parent.verticalCenter }
        }
    }

    // The first repeat waits a little longer, so that a slow click is one step.
    Timer {
        id: repeater
        objectName: "repeatTimer"
        interval: 400
        repeat: true
        onTriggered: {
            interval = 200
            if (levels.repeatDirection === 0 || !levels.step(levels.repeatDirection))
                levels.stopRepeat()
        }
    }

    WLevelButtons {
        id: wwidget
        objectName: "widget"
    }
}
