import QtQuick

// A slim tool bar that only offers the connection indicator and the setup
// menu, for panels that use the whole screen.
Item {
    id: bar
    property real ratio: intrf.toolBarHeightRatio * 0.6

    QmlConnectionIndicator {
        anchors.left: parent.left
        anchors.leftMargin: parent.height * 0.3
        anchors.verticalCenter: parent.verticalCenter
        height: parent.height * 0.5
        width: height
    }

    QmlSetupButton {
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        height: parent.height
        width: height
    }
}
