import QtQuick
import wbutton
import "../qml/objects"

// A panel button: its on or off text and picture (the partial ones for a
// connection lamp that sees only some devices), text and picture side by
// side and centred. A press goes to the widget, or opens the setup menu for
// a setup button.
Item {
    id: button
    // onText and onImage take no initial value here: QML would read
    // "onText: ..." as the handler of a signal named "text". They start
    // empty all the same.
    property string text: ""
    property string onText
    property string offText: ""
    property string partialText: ""
    property bool hasText: false
    property string onImage
    property string offImage: ""
    property string partialImage: ""
    property bool hasImage: false
    property real imageSize: 0.8
    property int hasBorder: 1
    property bool checked: false
    property bool isSequence: false
    property bool isSetupButton: false
    property bool isTristateButton: false
    property bool isPartialStateActive: false

    readonly property bool showsPartial: isTristateButton && isPartialStateActive
    readonly property string shownText: {
        var t = showsPartial ? (partialText !== "" ? partialText : offText) : (checked ? onText : offText)
        return t !== "" ? t : text
    }
    readonly property string shownImage: showsPartial ? (partialImage !== "" ? partialImage : offImage)
                                                      : (checked ? onImage : offImage)

    Rectangle {
        id: face
        anchors.fill: parent
        radius: intrf.controlRadius * intrf.pixelScale
        color: mouse.pressed ? Qt.rgba(intrf.accentColor.r, intrf.accentColor.g, intrf.accentColor.b, 0.18)
                             : "transparent"
        border.color: button.hasBorder ? intrf.borderColor : "transparent"
        border.width: button.hasBorder ? Math.max(1, intrf.pixelScale) : 0
    }

    Row {
        id: content
        anchors.centerIn: parent
        spacing: label.visible && picture.visible ? button.height * 0.1 : 0

        Text {
            id: label
            visible: button.hasText && text !== ""
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, button.width * 0.92 - (picture.visible ? picture.width + content.spacing : 0))
            height: button.height
            text: button.shownText
            color: button.checked ? intrf.accentColor : intrf.textColor
            font.pixelSize: Math.max(6, button.height * 0.5625)
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 6
            verticalAlignment: Text.AlignVCenter
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
        }

        Image {
            id: picture
            visible: button.hasImage && button.shownImage !== ""
            anchors.verticalCenter: parent.verticalCenter
            // A size past the whole height would overflow the button.
            height: button.height * Math.max(0, Math.min(1, button.imageSize)) * (button.hasBorder ? 0.8 : 1)
            width: Math.min(height, button.width)
            source: button.shownImage
            sourceSize.height: Math.max(16, height * 2)
            fillMode: Image.PreserveAspectFit
            smooth: true
            mipmap: true
        }
    }

    MouseArea {
        id: mouse
        objectName: "buttonMouse"
        anchors.fill: parent
        enabled: !intrf.editModeEnable
        onPressed: button.isSetupButton ? setupMenu.open() : wwidget.outputPressed()
        onReleased: if (!button.isSetupButton) wwidget.outputReleased()
        onCanceled: wwidget.outputCanceled()
        // Edit mode does not take the grab away: the press ends here.
        onEnabledChanged: if (!enabled) wwidget.outputCanceled()
    }

    Loader {
        id: setupMenu
        objectName: "setupMenu"
        active: button.isSetupButton
        function open() { if (item) item.open() }
        sourceComponent: QmlPopupList {
            anchorItem: button
            title: qsTr("Setup")
            model: intrf.setupMenuData
            onChosen: function(key) { intrf.postCommand("system", key) }
        }
    }

    WButton {
        id: wwidget
        objectName: "widget"
    }
}
