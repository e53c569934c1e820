import QtQuick
import wdropsite

// A place on a template panel for one control of a kind. Seen in edit mode
// only: a dashed outline with the title (or the held control's name); a
// drag from the hardware tree may land on it.
Item {
    id: site
    property string label: ""
    property real textScale: 1.0
    property bool enableDrop: true
    property bool enableProperties: false
    visible: intrf.editModeEnable

    Rectangle {
        anchors.fill: parent
        color: drop.containsDrag ? Qt.rgba(intrf.accentColor.r, intrf.accentColor.g, intrf.accentColor.b, 0.25)
                                 : "transparent"
        border.color: site.enableDrop ? intrf.editColor : intrf.accentColor
        border.width: Math.max(1, intrf.pixelScale)
        radius: intrf.controlRadius * intrf.pixelScale
    }

    Text {
        anchors.centerIn: parent
        width: parent.width * 0.9
        text: site.label
        textFormat: Text.StyledText
        color: intrf.editColor
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        font.pixelSize: Math.max(6, Math.min(site.height * 0.25, intrf.textSize * 1.2) * site.textScale)
    }

    DropArea {
        id: drop
        anchors.fill: parent
        enabled: intrf.editModeEnable
        keys: ["application/dropsite"]
        onDropped: function(event) {
            if (intrf.dropSite(event.text, event.getDataAsString("application/dropsite"), wwidget))
                event.accept()
        }
    }

    WDropSite {
        id: wwidget
        objectName: "widget"
    }
}
