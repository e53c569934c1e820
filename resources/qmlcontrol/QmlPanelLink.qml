import QtQuick
import wpanellink

// A link to another panel: its text (formatted like a label's) or its image,
// on a button face or on nothing. A click flashes the accent colour and
// opens the panel.
Item {
    id: link
    property string text: ""
    property color textColor: intrf.textColor
    property int horizontalAlignment: Text.AlignHCenter
    property real textScale: 1.0
    property bool autoSize: false
    property bool editEnable: false
    property bool selEnable: false
    property bool sliderLabel: false
    property string imagePath: ""
    property bool imageValid: false
    property bool buttonMode: true
    property int hasBorder: 1
    property int keepImageInBounds: 1

    Rectangle {
        anchors.fill: parent
        visible: link.buttonMode
        radius: intrf.controlRadius * intrf.pixelScale
        color: mouse.pressed ? intrf.accentColor : intrf.fieldColor
        border.color: intrf.borderColor
        border.width: link.hasBorder ? Math.max(1, intrf.pixelScale) : 0
    }

    Text {
        anchors.fill: parent
        anchors.margins: link.height * 0.08
        visible: !link.imageValid
        text: link.text
        textFormat: Text.StyledText
        color: !link.buttonMode && mouse.pressed ? intrf.accentColor : link.textColor
        horizontalAlignment: link.horizontalAlignment
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        // A long text shrinks to its link rather than run out of it.
        fontSizeMode: link.autoSize ? Text.Fit : Text.HorizontalFit
        minimumPixelSize: 6
        // Never taller than a fifth of the panel.
        font.pixelSize: Math.max(6, Math.min(link.height * 0.5 * link.textScale,
                                             (link.parent ? link.parent.height : link.height) / 5))
    }

    Image {
        anchors.fill: parent
        anchors.margins: link.buttonMode ? link.height * 0.08 : 0
        visible: link.imageValid
        source: link.imagePath
        fillMode: link.keepImageInBounds ? Image.PreserveAspectFit : Image.Stretch
        asynchronous: true
        smooth: true
        mipmap: true
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        enabled: !intrf.editModeEnable
        onClicked: wwidget.selectPanel()
    }

    WPanelLink {
        id: wwidget
        objectName: "widget"
    }
}
