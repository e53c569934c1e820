import QtQuick

// The status bar row: page arrows, the scene title and a dot per page.
Rectangle {
    id: bar
    property real ratio: intrf.statusBarHeightRatio
    color: intrf.statusBarColor

    Rectangle {
        anchors.bottom: parent.top
        width: parent.width
        height: Math.max(2, parent.height * 0.06)
        gradient: Gradient {
            GradientStop { position: 0.0; color: "transparent" }
            GradientStop { position: 1.0; color: intrf.statusBarShadow }
        }
    }

    QmlPageArrow {
        id: left
        objectName: "leftArrow"
        anchors.left: parent.left
        height: parent.height
        width: height * 1.2
        source: intrf.leftArrow
        active: intrf.pageIndex > 0
        command: "leftarrow"
    }

    Column {
        anchors.centerIn: parent
        width: parent.width - left.width - right.width
        spacing: bar.height * 0.08

        Text {
            id: title
            objectName: "sceneTitle"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
            color: intrf.statusBarTextColor
            font.pixelSize: Math.max(10, bar.height * 0.3)
            text: intrf.sceneTitle
        }

        Row {
            objectName: "pageIndicator"
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: bar.height * 0.12
            visible: intrf.pageCount > 1
            Repeater {
                model: intrf.pageCount
                delegate: Rectangle {
                    width: bar.height * 0.14
                    height: width
                    radius: width / 2
                    color: index === intrf.pageIndex ? intrf.accentColor : intrf.pageInActive
                }
            }
        }
    }

    QmlPageArrow {
        id: right
        objectName: "rightArrow"
        anchors.right: parent.right
        height: parent.height
        width: height * 1.2
        source: intrf.rightArrow
        active: intrf.pageIndex < intrf.pageCount - 1
        command: "rightarrow"
    }
}
