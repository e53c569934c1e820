import QtQuick

// Red, yellow or green lamp: how many devices of the project answer.
Image {
    objectName: "connectionIndicator"
    source: intrf.connectInd
    fillMode: Image.PreserveAspectFit
    smooth: true
    mipmap: true
}
