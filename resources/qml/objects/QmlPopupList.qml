import QtQuick
import QtQuick.Controls

// A drop-down list of entries over the scene, under an optional title.
// Each entry of the model is either a text or an object with "key" and
// "text"; choosing one emits its key (the text when there is no key).
Popup {
    id: popup
    property var model: []
    property string title: ""
    // The entry shown as chosen; -1 for none.
    property int index: -1
    signal chosen(string key)
    // The place of the chosen entry, before the list closes.
    signal listClick(int index)

    // Opened from a button inside a panel, the list drops from that button
    // (or rises over it near the bottom); else it hangs under the tool bar.
    property Item anchorItem: null

    parent: Overlay.overlay
    x: !parent ? 0 : anchorItem ? placeX(anchorItem.x, anchorItem.width, width) : parent.width - width - 4
    y: !parent ? 0 : anchorItem ? placeY(anchorItem.y, anchorItem.height, implicitHeight) : parent.height * intrf.toolBarHeightRatio

    function placeX(anchorX, anchorWidth, ownWidth) {
        var right = anchorItem.mapToItem(parent, anchorWidth, 0).x
        return Math.max(4, Math.min(parent.width - ownWidth - 4, right - ownWidth))
    }
    function placeY(anchorY, anchorHeight, ownHeight) {
        var top = anchorItem.mapToItem(parent, 0, 0).y
        return top + anchorHeight + ownHeight <= parent.height ? top + anchorHeight : Math.max(4, top - ownHeight)
    }
    width: parent ? Math.min(parent.width * 0.72, 240) : 200
    padding: 0
    modal: true
    dim: false
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

    function keyOf(entry) { return (typeof entry === "object" && entry.key !== undefined) ? entry.key : entry }
    function textOf(entry) { return (typeof entry === "object" && entry.text !== undefined) ? entry.text : entry }

    background: Rectangle {
        color: intrf.menuColor
        border.color: intrf.menuLineColor
        radius: 4
    }

    contentItem: Column {
        Text {
            visible: popup.title !== ""
            x: 14
            width: popup.width - 28
            topPadding: 8
            bottomPadding: 8
            elide: Text.ElideRight
            color: intrf.menuTextColor
            font.pixelSize: Math.max(12, intrf.menuTextSize * 1.1)
            font.bold: true
            text: popup.title
        }
        Repeater {
            model: popup.model
            delegate: Rectangle {
                width: popup.width
                height: Math.max(30, entryText.implicitHeight + 16)
                color: entryMouse.pressed ? Qt.lighter(intrf.accentColor, 1.6)
                                          : index === popup.index ? Qt.lighter(intrf.accentColor, 1.9) : "transparent"
                Rectangle {
                    visible: index > 0 || popup.title !== ""
                    width: parent.width - 16
                    x: 8
                    height: 1
                    color: intrf.menuLineColor
                }
                Text {
                    id: entryText
                    anchors.verticalCenter: parent.verticalCenter
                    x: 14
                    width: parent.width - 28
                    elide: Text.ElideRight
                    color: intrf.menuTextColor
                    font.pixelSize: Math.max(12, intrf.menuTextSize * 1.1)
                    text: popup.textOf(modelData)
                }
                MouseArea {
                    id: entryMouse
                    anchors.fill: parent
                    onClicked: {
                        popup.listClick(index)
                        popup.close()
                        popup.chosen(popup.keyOf(modelData))
                    }
                }
            }
        }
    }
}
