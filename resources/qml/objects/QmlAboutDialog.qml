import QtQuick

// The about box: the maker's and the product's logos above the version text.
QmlDialogFrame {
    Row {
        spacing: 12
        Image {
            height: 26
            fillMode: Image.PreserveAspectFit
            source: typeof intrf !== "undefined" ? intrf.kvrLogo : ""
            smooth: true
            mipmap: true
        }
        Image {
            height: 26
            fillMode: Image.PreserveAspectFit
            source: typeof intrf !== "undefined" ? intrf.halvernLogo : ""
            smooth: true
            mipmap: true
        }
    }
}
