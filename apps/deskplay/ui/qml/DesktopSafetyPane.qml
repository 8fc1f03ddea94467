import QtQuick
import Deskplay.Popover

// The Desktop Safety pane: what happens to the person's files, the stash's folder, and the
// desktop put back by hand.
Column {
    required property QtObject pane
    spacing: 10

    StaticText {
        width: parent.width
        text: "Your files are safe"
        font.pixelSize: Theme.bodySize
        font.bold: true
        color: Theme.primaryText
    }
    StaticText {
        width: parent.width
        text: "While a game plays, your desktop files are moved aside and restored the moment it stops — even after a crash."
        wrapMode: Text.Wrap
        font.pixelSize: Theme.captionSize
        color: Theme.secondaryText
    }
    Row {
        spacing: 8
        SmallButton {
            text: "Reveal backup folder"
            onClicked: pane.revealBackupFolder()
        }
        SmallButton {
            symbol: "arrow.uturn.backward"
            text: "Restore my desktop now"
            onClicked: pane.restoreNow()
        }
    }
}
