import QtQuick
import "objects"

// The desktop scene: the canvas of the phone screen with its top row (tool
// bar), the control area that holds the panels, and its bottom row (status
// bar). The rows are loaded from the paths on the bridge object; "?" loads
// nothing.
Canvas {
    id: canvas
    objectName: "QmlCanvas"
    width: 294
    height: 522

    readonly property string minToolBar: "qrc:/qml/objects/QmlMinToolBarObject.qml"
    // Bound, never assigned: the rows always follow the paths that the
    // bridge object holds for the open file.
    readonly property string topRowSource: intrf.topRow
    readonly property string bottomRowSource: intrf.bottomRow

    function rowUrl(path) {
        return (path === "" || path === "?") ? "" : path
    }

    function reloadRow(row) {
        row.active = false
        row.active = true
    }

    // Shows the rows afresh from the bridge object's paths.
    function resetCanvas() {
        reloadRow(topRow)
        reloadRow(bottomRow)
    }

    // Reloads the bottom row; a minimal tool bar or a missing status bar
    // depends on it, so the top row then follows.
    function reloadCanvas() {
        reloadRow(bottomRow)
        if (topRowSource === minToolBar || bottomRowSource === "?")
            reloadRow(topRow)
    }

    function reportSize() {
        if (width > 0 && height > 0 && typeof intrf.canvasResize === "function")
            intrf.canvasResize()
    }

    onWidthChanged: reportSize()
    onHeightChanged: reportSize()
    Component.onCompleted: intrf.setObject("QmlCanvas", canvas)

    Rectangle {
        anchors.fill: parent
        color: intrf.canvasColor
    }

    Loader {
        id: topRow
        objectName: "topRow"
        anchors.top: parent.top
        width: parent.width
        height: item && item.ratio !== undefined ? Math.round(canvas.height * item.ratio) : 0
        source: canvas.rowUrl(canvas.topRowSource)
        z: 10
        onStatusChanged: if (status === Loader.Error) console.log("Error creating component at: " + source)
    }

    QmlControlObject {
        id: controlArea
        objectName: "controlArea"
        anchors.top: topRow.bottom
        anchors.bottom: bottomRow.top
        width: parent.width
        onHeightChanged: canvas.reportSize()
    }

    Loader {
        id: bottomRow
        objectName: "bottomRow"
        anchors.bottom: parent.bottom
        width: parent.width
        height: item && item.ratio !== undefined ? Math.round(canvas.height * item.ratio) : 0
        source: canvas.rowUrl(canvas.bottomRowSource)
        z: 10
        onStatusChanged: if (status === Loader.Error) console.log("Error creating component at: " + source)
    }

    // The exit PIN dialog, opened when the setup menu's Exit needs a PIN.
    Loader {
        id: passcode
        anchors.fill: parent
        z: 60
        active: false
        source: "qrc:/qml/objects/QmlPasscodeDialog.qml"
        onLoaded: intrf.setObject("ModalObject", item)
    }
    Connections {
        target: passcode.item
        function onClosed() { passcode.active = false }
    }
    Connections {
        target: intrf
        function onShowExitPasscodeDialog() { passcode.active = true }
    }

    Loader {
        id: errMsg
        anchors.fill: parent
        z: 50
        active: intrf.errMessage !== ""
        source: intrf.errMsgPath
    }
}
