import QtQuick
import wtextedit

// The number field beside a fader: shows the value in the control's format;
// what the user types goes to the widget when editing ends (Enter, or the
// field losing focus).
Rectangle {
    id: field
    property string text: ""
    property bool editable: true
    property color textColor: intrf.textColor

    color: input.activeFocus ? Qt.lighter(intrf.fieldColor, 1.3) : intrf.fieldColor
    radius: intrf.controlRadius * intrf.pixelScale * 0.6
    border.color: input.activeFocus ? intrf.accentColor : intrf.borderColor
    border.width: Math.max(1, intrf.pixelScale)

    TextInput {
        id: input
        objectName: "input"
        anchors.fill: parent
        anchors.leftMargin: field.height * 0.15
        anchors.rightMargin: field.height * 0.15
        text: field.text
        color: field.textColor
        selectionColor: intrf.accentColor
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        font.pixelSize: Math.max(6, field.height * 0.55)
        clip: true
        selectByMouse: true
        readOnly: !field.editable || intrf.editModeEnable
        maximumLength: 32
        onEditingFinished: {
            // The field's text is set by the widget only: this hands it
            // what was typed.
            field.text = input.text
            wwidget.onTextChanged()
        }
    }

    WTextEdit {
        id: wwidget
        objectName: "widget"
    }
}
