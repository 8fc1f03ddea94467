import QtQuick
import Deskplay.Popover

// The Account pane: where sign-in stands and what to do next, and the room server it uses.
Column {
    required property QtObject pane
    spacing: 12

    StaticText {
        visible: text !== ""
        width: parent.width
        text: pane.error
        wrapMode: Text.Wrap
        font.pixelSize: Theme.captionSize
        color: Theme.attention
    }

    Row {
        width: parent.width
        spacing: 10
        SymbolIcon {
            id: signedInMark
            visible: pane.state === "signedIn"
            symbol: "checkmark.circle.fill"
            font.pixelSize: 22
            color: Theme.granted
            height: 28
        }
        RowLabel {
            width: parent.width - (signedInMark.visible ? signedInMark.width + parent.spacing : 0)
            title: pane.title
            subtitle: pane.subtitle
        }
    }

    Row {
        spacing: 8
        SmallButton {
            visible: pane.state === "signedOut"
            text: "Sign in with Patreon"
            onClicked: pane.signIn()
        }
        SmallButton {
            visible: pane.state === "pending"
            text: "Reopen page"
            onClicked: pane.reopenPage()
        }
        SmallButton {
            visible: pane.state === "pending"
            text: "Cancel"
            onClicked: pane.cancelSignIn()
        }
        SmallButton {
            visible: pane.state === "signedIn"
            text: "Sign out"
            onClicked: pane.signOut()
        }
    }

    StaticText {
        width: parent.width
        text: pane.footnote
        wrapMode: Text.Wrap
        font.pixelSize: Theme.captionSize
        color: Theme.secondaryText
    }
}
