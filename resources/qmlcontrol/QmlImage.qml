import QtQuick
import wimage

// A picture; as a background it fills the panel behind everything else.
Item {
    id: picture
    property string path: "../images/default.png"
    property string imageSize: ""
    property int backgroundFillMode: -1
    property real imageOpacity: 1.0
    property int maxCachedImageWidth: 2048
    // A background fills its panel, behind the controls.
    anchors.fill: backgroundFillMode >= 0 ? parent : undefined

    Image {
        anchors.fill: parent
        source: picture.path
        opacity: picture.imageOpacity
        asynchronous: true
        smooth: true
        mipmap: true
        sourceSize.width: Math.min(picture.maxCachedImageWidth, Math.max(1, picture.width * 2))
        fillMode: picture.backgroundFillMode >= 0 ? picture.backgroundFillMode : Image.PreserveAspectFit
    }

    WImage {
        id: wwidget
        objectName: "widget"
    }
}
