import QtQuick
import Deskplay.Popover

// The Permissions pane: each privacy permission, and the relaunch Input Monitoring needs.
Column {
    required property QtObject pane
    spacing: 8

    Repeater {
        model: pane.rows
        PermissionRow {
            required property var modelData
            title: modelData.title
            subtitle: modelData.subtitle
            granted: modelData.granted
            onClicked: pane.open(modelData.anchor)
        }
    }

    Column {
        visible: pane.offersRelaunch
        width: parent.width
        spacing: 6
        StaticText {
            width: parent.width
            text: "Input Monitoring only takes effect after a restart."
            wrapMode: Text.Wrap
            font.pixelSize: Theme.captionSize
            color: Theme.secondaryText
        }
        SmallButton {
            text: "Relaunch"
            onClicked: pane.relaunch()
        }
    }
}
