import QtQuick
import wdialer

// The telephone keypad: display, twelve keys, the function keys and the call
// keys. A PSTN line shows one call/end key unless the panel asks for both; a
// VoIP line always has both, and its flash key adds a call. The keypad keeps
// its proportions inside the item.
Item {
    id: dialer
    property string text: ""
    property real textScale: 1.0

    readonly property int lineState: wwidget.dialerState
    readonly property bool voip: wwidget.callType.toLowerCase() === "voip"
    readonly property bool ringing: lineState === WDialer.State_Incoming
    readonly property bool waiting: lineState === WDialer.State_ActiveIncoming
    readonly property bool talking: lineState === WDialer.State_Active || lineState === WDialer.State_Hold
                                    || waiting
    readonly property bool inCall: lineState !== WDialer.State_HangUp && lineState !== WDialer.State_OTHER
                                   && !ringing
    readonly property bool separateCallKeys: voip || wwidget.alwaysShowCallAndEnd

    Item {
        id: pad
        objectName: "keypad"
        anchors.centerIn: parent
        // Full width when the height allows it, else full height.
        readonly property bool widthBound: !wwidget.isAspectRatioCorrectionActive
                                           || wwidget.adjustWidth(dialer.width) <= dialer.height
        width: widthBound ? dialer.width : wwidget.adjustHeight(dialer.height)
        height: !wwidget.isAspectRatioCorrectionActive ? dialer.height
                : (widthBound ? wwidget.adjustWidth(dialer.width) : dialer.height)
        readonly property real gap: Math.max(2, height * 0.012)
        readonly property real margin: Math.max(3, height * 0.025)

        Column {
            anchors.fill: parent
            anchors.margins: pad.margin
            spacing: pad.gap

            Text {
                id: title
                width: parent.width
                height: pad.height * 0.06
                text: dialer.text
                color: Qt.darker("#FFFFFFFF", 1.25)
                font.pixelSize: Math.max(6, height * 0.75 * dialer.textScale)
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
            }

            Rectangle {
                id: display
                width: parent.width
                height: pad.height * 0.17
                radius: height * 0.12
                color: "#FF141414"
                border.color: dialer.ringing || dialer.waiting ? wwidget.secondaryColorGreen : "#FF4A4A4A"
                border.width: Math.max(1, Math.round(height * 0.03))

                Text {
                    id: number
                    objectName: "displayLine"
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.top: parent.top
                    anchors.margins: display.height * 0.08
                    height: display.height * 0.5
                    text: wwidget.idString !== "" ? wwidget.idString : wwidget.displayText
                    color: "#FFFFFFFF"
                    font.pixelSize: Math.max(7, height * 0.8)
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    // Long numbers keep their last digits in view.
                    elide: Text.ElideLeft
                }
                QmlDialerFader {
                    objectName: "statusLine"
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    anchors.margins: display.height * 0.06
                    height: display.height * 0.32
                    pixelSize: Math.max(6, height * 0.8)
                    color: wwidget.dialerState === WDialer.State_Busy ? wwidget.secondaryColorRed : intrf.accentColor
                    text: wwidget.callTime !== "" ? wwidget.statusText + "  " + wwidget.callTime
                                                  : wwidget.statusText
                }
            }

            Grid {
                id: keys
                columns: 3
                spacing: pad.gap
                readonly property real keyWidth: (parent.width - 2 * spacing) / 3
                readonly property real keyHeight: pad.height * 0.105
                Repeater {
                    model: [
                        { key: "1", letters: "" },    { key: "2", letters: "ABC" }, { key: "3", letters: "DEF" },
                        { key: "4", letters: "GHI" }, { key: "5", letters: "JKL" }, { key: "6", letters: "MNO" },
                        { key: "7", letters: "PQRS" }, { key: "8", letters: "TUV" }, { key: "9", letters: "WXYZ" },
                        { key: "*", letters: "" },    { key: "0", letters: "+" },   { key: "#", letters: "" }
                    ]
                    QmlDialerButton {
                        objectName: modelData.key === "*" ? "keyStar"
                                    : modelData.key === "#" ? "keyHash" : "key" + modelData.key
                        width: keys.keyWidth
                        height: keys.keyHeight
                        label: modelData.key
                        subLabel: modelData.letters
                        digitKey: true
                        keyColor: wwidget.primaryColor
                        onClicked: wwidget.digit(modelData.key)
                        onHeld: wwidget.digitHeld(modelData.key)
                        onHeldFiveSeconds: wwidget.digitHeldFiveSeconds(modelData.key)
                    }
                }
            }

            Row {
                id: functions
                spacing: pad.gap
                readonly property real keyWidth: (parent.width - 3 * spacing) / 4
                readonly property real keyHeight: pad.height * 0.09
                QmlDialerButton {
                    objectName: "directoryKey"
                    width: functions.keyWidth
                    height: functions.keyHeight
                    icon: intrf.collections
                    label: qsTr("Redial")
                    keyColor: wwidget.secondaryColor
                    keyEnabled: wwidget.dialerState === WDialer.State_HangUp && wwidget.lastDialled !== ""
                    onClicked: wwidget.directory()
                }
                QmlDialerButton {
                    objectName: "holdKey"
                    width: functions.keyWidth
                    height: functions.keyHeight
                    icon: intrf.hold
                    label: wwidget.isHoldActive ? qsTr("Resume") : qsTr("Hold")
                    keyColor: wwidget.secondaryColor
                    keyEnabled: dialer.talking
                    onClicked: wwidget.hold()
                }
                QmlDialerButton {
                    objectName: "flashKey"
                    width: functions.keyWidth
                    height: functions.keyHeight
                    icon: intrf.flash
                    label: dialer.voip ? qsTr("Add") : qsTr("Flash")
                    keyColor: wwidget.secondaryColor
                    keyEnabled: dialer.talking
                    onClicked: wwidget.addCallOrFlash()
                }
                QmlDialerButton {
                    objectName: "backspaceKey"
                    width: functions.keyWidth
                    height: functions.keyHeight
                    icon: intrf.backspace
                    keyColor: wwidget.secondaryColor
                    keyEnabled: wwidget.displayText !== ""
                    onClicked: wwidget.backspace()
                    onHeld: wwidget.backspaceHeld()
                    onHeldFiveSeconds: wwidget.backspaceHeld()
                }
            }

            Item {
                id: callRow
                width: parent.width
                height: pad.height * 0.11
                readonly property real halfWidth: (width - pad.gap) / 2
                readonly property real thirdWidth: (width - 2 * pad.gap) / 3

                // A ringing line: answer or turn the caller away.
                Row {
                    visible: dialer.ringing
                    spacing: pad.gap
                    QmlDialerButton {
                        objectName: "acceptKey"
                        width: callRow.halfWidth
                        height: callRow.height
                        icon: intrf.phone
                        label: qsTr("Accept")
                        keyColor: wwidget.secondaryColorGreen
                        onClicked: wwidget.accept()
                    }
                    QmlDialerButton {
                        objectName: "declineKey"
                        width: callRow.halfWidth
                        height: callRow.height
                        label: qsTr("Decline")
                        keyColor: wwidget.secondaryColorRed
                        onClicked: wwidget.callOrEnd(false)
                    }
                }

                // A second call while one is active.
                Row {
                    visible: dialer.waiting
                    spacing: pad.gap
                    QmlDialerButton {
                        objectName: "endAcceptKey"
                        width: callRow.thirdWidth
                        height: callRow.height
                        label: qsTr("End + Accept")
                        keyColor: wwidget.secondaryColorGreen
                        onClicked: wwidget.endAndAccept()
                    }
                    QmlDialerButton {
                        objectName: "holdAcceptKey"
                        width: callRow.thirdWidth
                        height: callRow.height
                        label: qsTr("Hold + Accept")
                        keyColor: wwidget.secondaryColor
                        onClicked: wwidget.holdAndAccept()
                    }
                    QmlDialerButton {
                        objectName: "declineWaitingKey"
                        width: callRow.thirdWidth
                        height: callRow.height
                        label: qsTr("Decline")
                        keyColor: wwidget.secondaryColorRed
                        onClicked: wwidget.declineAndStayActive()
                    }
                }

                // Call and end as two keys.
                Row {
                    visible: !dialer.ringing && !dialer.waiting && dialer.separateCallKeys
                    spacing: pad.gap
                    QmlDialerButton {
                        objectName: "callKey"
                        width: callRow.halfWidth
                        height: callRow.height
                        icon: intrf.phone
                        label: qsTr("Call")
                        keyColor: wwidget.secondaryColorGreen
                        keyEnabled: !dialer.inCall
                        onClicked: wwidget.callOrEnd(true)
                    }
                    QmlDialerButton {
                        objectName: "endKey"
                        width: callRow.halfWidth
                        height: callRow.height
                        label: qsTr("End")
                        keyColor: wwidget.secondaryColorRed
                        keyEnabled: dialer.inCall
                        // The widget has one key slot for calling and ending.
                        onClicked: wwidget.callOrEnd(false)
                    }
                }

                // One key that calls when idle and ends a call.
                QmlDialerButton {
                    objectName: "callEndKey"
                    visible: !dialer.ringing && !dialer.waiting && !dialer.separateCallKeys
                    width: callRow.width
                    height: callRow.height
                    icon: dialer.inCall ? "" : intrf.phone
                    label: dialer.inCall ? qsTr("End") : qsTr("Call")
                    keyColor: dialer.inCall ? wwidget.secondaryColorRed : wwidget.secondaryColorGreen
                    onClicked: wwidget.callOrEnd(false)
                }
            }
        }
    }

    WDialer {
        id: wwidget
        objectName: "widget"
    }
}
