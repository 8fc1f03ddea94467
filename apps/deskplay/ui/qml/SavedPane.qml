import QtQuick
import Deskplay.Popover

// The Saved Games & Exports pane: the folder where games keep the person's work.
Column {
    required property QtObject pane
    spacing: 10

    RowLabel {
        width: parent.width
        title: "Folder"
        subtitle: "Where games keep saved work — pixel art, sequences, exports."
    }
    StaticText {
        width: parent.width
        text: pane.folder
        wrapMode: Text.WrapAnywhere
        font.pixelSize: Theme.captionSize
        font.family: "DejaVu Sans Mono"
        color: Theme.primaryText
    }
    Row {
        spacing: 8
        SmallButton {
            text: "Choose"
            onClicked: pane.choose()
        }
        SmallButton {
            text: "Reveal"
            onClicked: pane.reveal()
        }
        SmallButton {
            visible: pane.offersReset
            text: "Reset"
            onClicked: pane.reset()
        }
    }
}
