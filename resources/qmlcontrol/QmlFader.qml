import QtQuick
import wslider

// A fader: a knob on a groove. The knob stands at the whole position "value"
// between minimumValue (bottom) and maximumValue (top). Dragging the knob,
// pressing the groove or turning the mouse wheel moves it and tells the
// widget; a value the widget sets (a device report, the linked text edit)
// only moves the knob.
Item {
    id: fader
    width: 38
    height: 180

    property int minimumValue: 0
    property int maximumValue: 100
    property int value: 0
    property color knobColor: "#E6E7E8"
    property bool bipolar: false
    // 1 while the user moves the knob.
    property int mode: 0

    readonly property int span: Math.max(0, maximumValue - minimumValue)
    readonly property real knobLength: Math.max(8, Math.min(height * 0.14, width * 0.5))
    readonly property real knobWidth: Math.max(12, Math.min(width * 0.82, knobLength * 2.6))
    readonly property real travel: height - knobLength
    // A track no longer than its knob leaves the knob nowhere to go: it
    // stays at the bottom and shows nothing false.
    readonly property bool stuck: travel <= 0 || span === 0
    readonly property bool tooShort: height > 0 && travel <= 0
    onTooShortChanged: if (tooShort)
        console.warn("QmlFader: the track (" + height + " px) is no longer than its knob; the knob stays at the bottom.")

    function clampPosition(p) {
        return Math.max(minimumValue, Math.min(maximumValue, p))
    }
    // The top of the knob at position p; the top of the track is the maximum.
    function knobTopAt(p) {
        return stuck ? Math.max(0, travel) : travel * (maximumValue - clampPosition(p)) / span
    }
    // The position whose knob centre is nearest to y.
    function positionAt(y) {
        return stuck ? minimumValue : clampPosition(maximumValue - Math.round((y - knobLength / 2) * span / travel))
    }
    function userMoves(p) {
        var was = mode
        mode = 1
        value = clampPosition(p)
        mode = was
    }

    readonly property real knobTop: knobTopAt(value)
    readonly property real knobCentre: knobTop + knobLength / 2
    readonly property real restCentre: (bipolar ? knobTopAt((minimumValue + maximumValue) / 2) : Math.max(0, travel)) + knobLength / 2
    readonly property color grooveColor: intrf.grooveColor1
    readonly property real grooveWidth: Math.max(3, Math.min(8, width * 0.12))

    onValueChanged: {
        if (mode === 1) {
            wwidget.setIsSendNeeded(true)
            wwidget.outputValue(value)
        } else {
            wwidget.setIsSendNeeded(false)
        }
    }

    // Scale marks beside the groove: five along the travel, the middle one
    // longer on a bipolar fader.
    Repeater {
        model: 5
        Rectangle {
            visible: !fader.stuck
            readonly property bool middle: index === 2
            width: fader.width * (middle && fader.bipolar ? 0.34 : 0.2)
            height: 1
            x: fader.width / 2 - fader.knobWidth / 2 - width * 0.2
            y: fader.knobLength / 2 + fader.travel * index / 4
            color: fader.grooveColor
            opacity: 0.8
        }
    }

    Rectangle {
        id: groove
        x: (fader.width - width) / 2
        y: fader.knobLength / 2
        width: fader.grooveWidth
        height: Math.max(0, fader.travel)
        radius: width / 2
        // Above the knob a tone equaliser's groove is lit too.
        color: wwidget.isToneEqControl ? intrf.accentColor : fader.grooveColor
        opacity: wwidget.isToneEqControl ? 1.0 : 0.85
    }

    // The lit part of the groove: from the centre of a bipolar fader, from
    // the bottom of any other, to the knob.
    Rectangle {
        x: groove.x
        width: groove.width
        radius: width / 2
        color: intrf.accentColor
        y: Math.min(fader.knobCentre, fader.restCentre)
        height: Math.abs(fader.restCentre - fader.knobCentre)
    }

    Rectangle {
        id: knob
        x: (fader.width - width) / 2
        y: fader.knobTop
        width: fader.knobWidth
        height: fader.knobLength
        radius: Math.min(4, height / 4)
        border.color: Qt.darker(fader.knobColor, 1.9)
        border.width: 1
        gradient: Gradient {
            GradientStop { position: 0.0; color: Qt.lighter(fader.knobColor, 1.12) }
            GradientStop { position: 0.5; color: fader.knobColor }
            GradientStop { position: 1.0; color: Qt.darker(fader.knobColor, 1.25) }
        }
        Rectangle {
            anchors.centerIn: parent
            width: parent.width * 0.7
            height: Math.max(1, parent.height * 0.12)
            color: Qt.darker(fader.knobColor, 2.6)
        }
    }

    MouseArea {
        anchors.fill: parent
        enabled: !intrf.editModeEnable
        preventStealing: true
        // Where on the knob it was taken, so that it does not jump.
        property real grip: 0
        property real wheelRest: 0
        onPressed: (mouse) => {
            var onKnob = mouse.y >= fader.knobTop && mouse.y <= fader.knobTop + fader.knobLength
            grip = onKnob ? mouse.y - fader.knobCentre : 0
            fader.mode = 1
            if (!onKnob)
                fader.value = fader.positionAt(mouse.y)
        }
        onPositionChanged: (mouse) => {
            if (pressed)
                fader.value = fader.positionAt(mouse.y - grip)
        }
        onReleased: fader.mode = 0
        onCanceled: fader.mode = 0
        onWheel: (wheel) => {
            wheelRest += wheel.angleDelta.y
            var steps = Math.trunc(wheelRest / 120)
            wheelRest -= steps * 120
            if (steps !== 0)
                fader.userMoves(fader.value + steps)
        }
    }

    WSlider {
        id: wwidget
        objectName: "widget"
    }
}
