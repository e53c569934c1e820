import QtQuick

// The area between the tool bar and the status bar in which the shown
// panel's controls are placed.
Item {
    id: area
    clip: false
}
