import QtQuick

// The tool bar row: product logo, project title, connection indicator and
// the setup menu button.
Rectangle {
    id: bar
    property real ratio: intrf.toolBarHeightRatio
    color: intrf.toolBarColor

    Rectangle {
        anchors.top: parent.bottom
        width: parent.width
        height: Math.max(2, parent.height * 0.06)
        gradient: Gradient {
            GradientStop { position: 0.0; color: intrf.toolBarShadow }
            GradientStop { position: 1.0; color: "transparent" }
        }
    }

    Image {
        id: logo
        anchors.left: parent.left
        anchors.leftMargin: parent.height * 0.2
        anchors.verticalCenter: parent.verticalCenter
        height: parent.height * 0.42
        fillMode: Image.PreserveAspectFit
        source: intrf.kvrLogo
        smooth: true
        mipmap: true
    }

    Text {
        id: title
        anchors.left: logo.right
        anchors.right: indicator.left
        anchors.margins: parent.height * 0.2
        anchors.verticalCenter: parent.verticalCenter
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        color: intrf.toolBarTextColor
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 10
        font.pixelSize: Math.max(10, parent.height * 0.34)
        font.bold: true
        text: intrf.headerTitle
    }

    QmlConnectionIndicator {
        id: indicator
        anchors.right: menuButton.left
        anchors.rightMargin: parent.height * 0.15
        anchors.verticalCenter: parent.verticalCenter
        height: parent.height * 0.4
        width: height
    }

    QmlSetupButton {
        id: menuButton
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        height: parent.height
        width: height
    }
}
