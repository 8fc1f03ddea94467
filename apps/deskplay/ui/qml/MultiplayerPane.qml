import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// The Multiplayer pane: the room server's address, stored when submitted with Return.
Column {
    required property QtObject pane
    spacing: 8

    RowLabel {
        width: parent.width
        title: "Room server"
        titlePublished: false
        subtitle: "The server that connects players. Change it to run your own."
    }
    TextField {
        width: parent.width
        text: pane.urlString
        font.pixelSize: Theme.bodySize
        inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText | Qt.ImhUrlCharactersOnly
        onTextEdited: pane.urlString = text
        onAccepted: pane.commit()
        Accessible.name: "Room server"
    }
    StaticText {
        visible: pane.showsHint
        text: "Must start with ws:// or wss://"
        font.pixelSize: Theme.captionSize
        color: Theme.attention
    }
    SmallButton {
        visible: pane.offersReset
        text: "Reset"
        onClicked: pane.reset()
    }
}
