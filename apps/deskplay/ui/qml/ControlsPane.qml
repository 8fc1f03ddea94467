import QtQuick
import Deskplay.Popover

// The Controls pane: the stop hotkey, recorded anew from the next key combination.
Column {
    required property QtObject pane
    spacing: 12

    Item {
        width: parent.width
        implicitHeight: Math.max(label.implicitHeight, hotkey.implicitHeight)
        RowLabel {
            id: label
            anchors.left: parent.left
            anchors.right: hotkey.left
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            title: "Stop hotkey"
            subtitle: pane.subtitle
        }
        SmallButton {
            id: hotkey
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            text: pane.hotkeyTitle
            onClicked: pane.toggleRecording()
        }
    }
    SmallButton {
        text: pane.resetTitle
        onClicked: pane.resetHotkey()
    }
}
