import QtQuick

// The menu button that opens the setup menu.
Item {
    id: button
    objectName: "setupButton"

    Rectangle {
        anchors.centerIn: parent
        width: parent.width * 0.8
        height: width
        radius: width / 2
        color: intrf.accentColor
        opacity: mouse.pressed ? 0.25 : 0
    }

    Image {
        anchors.centerIn: parent
        width: parent.width * 0.55
        height: width
        source: intrf.setupButton
        fillMode: Image.PreserveAspectFit
        smooth: true
        mipmap: true
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        enabled: !intrf.editModeEnable
        onClicked: popup.open()
    }

    QmlPopupList {
        id: popup
        model: intrf.setupMenuData
        onChosen: function(key) { intrf.postCommand("system", key) }
    }
}
