import QtQuick
import wframe

// The invisible extent of a panel.
Item {
    id: bounds
    property color fieldColor: "#00000000"
    property color borderColor: "#00000000"
    property real borderWidth: 0
    property int hasBorder: 0
    visible: intrf.editModeEnable

    WFrame {
        id: wwidget
        objectName: "widget"
    }
}
