import QtQuick
import Deskplay.Popover

// The running game, its keys, and the way to stop it.
Item {
    id: view
    required property var game
    signal stop()

    implicitHeight: column.implicitHeight + 2 * 12

    Column {
        id: column
        x: Theme.margin
        y: 12
        width: view.width - 2 * Theme.margin
        spacing: 14
        GameHeader {
            game: view.game
            caption: "Now playing"
            captionFirst: true
        }
        ControlsCheatsheet {
            width: parent.width
            controls: view.game.controls
        }
        LabelButton {
            symbol: "stop.fill"
            text: "Stop & restore"
            prominent: true
            onClicked: view.stop()
        }
    }
}
