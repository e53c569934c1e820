import QtQuick
import wdroplist

// A drop list: the chosen entry's text and an arrow; a click opens the
// list of entries.
Rectangle {
    id: dropList
    property string currentText: ""
    property int currentIndex: -1
    property int horizontalAlignment: Text.AlignLeft
    property int hasBorder: 1
    property color textColor: intrf.textColor

    color: intrf.menuColor
    radius: intrf.controlRadius * intrf.pixelScale
    border.color: intrf.borderColor
    border.width: hasBorder ? Math.max(1, intrf.pixelScale) : 0

    Text {
        anchors.left: parent.left
        anchors.right: arrow.left
        anchors.verticalCenter: parent.verticalCenter
        anchors.leftMargin: dropList.height * 0.25
        anchors.rightMargin: dropList.height * 0.1
        horizontalAlignment: dropList.horizontalAlignment
        elide: Text.ElideRight
        color: dropList.textColor
        font.pixelSize: Math.max(6, dropList.height * 0.5625)
        text: dropList.currentText
    }

    Image {
        id: arrow
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        anchors.rightMargin: dropList.height * 0.15
        height: dropList.height * 0.5
        width: height
        fillMode: Image.PreserveAspectFit
        source: intrf.downArrow
    }

    MouseArea {
        anchors.fill: parent
        enabled: !intrf.editModeEnable
        onClicked: {
            var component = Qt.createComponent("qrc:/qml/objects/QmlPopupList.qml")
            if (component.status !== Component.Ready) {
                console.warn("Error creating component at: qrc:/qml/objects/QmlPopupList.qml", component.errorString())
                return
            }
            var popup = component.createObject(dropList)
            wwidget.popupList(popup)
            popup.open()
        }
    }

    WDropList {
        id: wwidget
        objectName: "widget"
    }
}
