import QtQuick
import wcomboselection

// One swatch per combination of a room-combine group; the swatch of the
// combination that taps on rooms edit stands out. A tap chooses another.
Item {
    id: selector

    Row {
        id: swatches
        anchors.fill: parent
        anchors.leftMargin: wwidget.sideMargins * intrf.pixelScale
        anchors.rightMargin: wwidget.sideMargins * intrf.pixelScale
        spacing: 6 * intrf.pixelScale

        Repeater {
            model: wwidget.count
            delegate: Rectangle {
                readonly property bool chosen: index === wwidget.selectedIndex
                width: wwidget.count > 0 ? (swatches.width - swatches.spacing * (wwidget.count - 1)) / wwidget.count : 0
                height: swatches.height * (chosen ? 0.86 : 0.7)
                anchors.verticalCenter: parent.verticalCenter
                radius: intrf.controlRadius * intrf.pixelScale
                color: wwidget.comboColors[index] || "lightgray"
                border.width: (chosen ? 3 : 1) * intrf.pixelScale
                border.color: chosen ? intrf.textColor : intrf.borderColor
                Text {
                    anchors.centerIn: parent
                    text: index + 1
                    color: "#231F20"
                    font.pixelSize: Math.max(8, parent.height * 0.45)
                    font.bold: parent.chosen
                }
                MouseArea {
                    anchors.fill: parent
                    enabled: !intrf.editModeEnable
                    onClicked: wwidget.selectorClicked(index)
                }
            }
        }
    }

    WComboSelection {
        id: wwidget
        objectName: "widget"
    }
}
