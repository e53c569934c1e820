import QtQuick
import wlabel

// A panel text (bold, italic and underline tags are kept), half the item's height tall unless it sizes
// itself; a label under a fader is drawn a little smaller.
Item {
    id: label
    property string text: ""
    property color textColor: intrf.textColor
    property int horizontalAlignment: Text.AlignLeft
    property real textScale: 1.0
    property bool autoSize: false
    property bool editEnable: false
    property bool selEnable: false
    property bool sliderLabel: false

    Text {
        id: body
        anchors.fill: parent
        text: label.text
        textFormat: Text.StyledText
        color: label.textColor
        horizontalAlignment: label.horizontalAlignment
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        wrapMode: Text.NoWrap
        clip: true
        fontSizeMode: label.autoSize ? Text.Fit : Text.FixedSize
        minimumPixelSize: 6
        // A self-sizing label starts from its full height and shrinks to fit.
        font.pixelSize: Math.max(6, label.autoSize ? label.height * 0.62
                                                   : label.height * 0.5 * label.textScale
                                                     * (label.sliderLabel ? 0.85 : 1.0))
    }

    WLabel {
        id: wwidget
        objectName: "widget"
    }
}
