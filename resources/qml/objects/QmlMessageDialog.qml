import QtQuick

// A message box inside the scene.
QmlDialogFrame {
}
