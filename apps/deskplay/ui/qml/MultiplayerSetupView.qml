import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// Hosting or joining an online game with a room code, behind the sign-in the hosted room
// server asks for.
Item {
    id: view
    required property var game
    required property QtObject setup

    implicitHeight: column.implicitHeight + 2 * 12

    Column {
        id: column
        x: Theme.margin
        y: 12
        width: view.width - 2 * Theme.margin
        spacing: 12

        GameHeader {
            game: view.game
            caption: "Multiplayer"
        }

        Column {
            id: hostOrJoin
            visible: view.setup.unlocked
            width: parent.width
            spacing: 10

            Row {
                spacing: 0
                Repeater {
                    model: ["Host", "Join"]
                    Button {
                        id: segment
                        required property string modelData
                        text: modelData
                        checked: view.setup.mode === modelData
                        width: 90
                        font.pixelSize: Theme.bodySize
                        onClicked: view.setup.mode = modelData
                        contentItem: Text {
                            text: segment.text
                            font: segment.font
                            color: Theme.primaryText
                            horizontalAlignment: Text.AlignHCenter
                            verticalAlignment: Text.AlignVCenter
                            Accessible.ignored: true
                        }
                        background: Rectangle {
                            implicitHeight: 28
                            radius: 7
                            color: segment.checked ? Theme.cardBackground : "#e4e4e8"
                            border.width: segment.checked ? 2 : 1
                            border.color: Theme.divider
                        }
                        Accessible.role: Accessible.RadioButton
                        Accessible.name: modelData
                        Accessible.onPressAction: clicked()
                    }
                }
            }

            Column {
                visible: view.setup.mode === "Host"
                width: parent.width
                spacing: 6
                StaticText {
                    text: view.setup.codeCaption
                    font.pixelSize: Theme.captionSize
                    color: Theme.secondaryText
                }
                Row {
                    spacing: 8
                    StaticText {
                        text: view.setup.hostCode
                        font.pixelSize: 20
                        font.family: "DejaVu Sans Mono"
                        font.bold: true
                        color: Theme.primaryText
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    SymbolButton {
                        symbol: "arrow.clockwise"
                        onClicked: view.setup.regenerateCode()
                    }
                }
            }

            Column {
                visible: view.setup.mode === "Join"
                width: parent.width
                spacing: 6
                TextField {
                    id: joinField
                    width: parent.width
                    placeholderText: "word-word-00"
                    text: view.setup.joinCode
                    font.pixelSize: Theme.bodySize
                    onTextEdited: view.setup.joinCode = text
                    Accessible.name: "word-word-00"
                }
                StaticText {
                    text: view.setup.codeCaption
                    font.pixelSize: Theme.captionSize
                    color: Theme.secondaryText
                }
            }

            StaticText {
                width: parent.width
                text: view.setup.note
                wrapMode: Text.Wrap
                font.pixelSize: Theme.captionSize
                color: Theme.secondaryText
            }

            LabelButton {
                symbol: "play.fill"
                text: view.setup.playLabel
                prominent: true
                enabled: view.setup.canPlay
                onClicked: view.setup.play()
            }
        }

        Column {
            id: gate
            visible: !view.setup.unlocked
            width: parent.width
            spacing: 8

            Column {
                visible: view.setup.signInPending
                width: parent.width
                spacing: 8
                StaticText {
                    text: "Finish signing in in your browser"
                    font.pixelSize: Theme.bodySize
                    font.bold: true
                    color: Theme.primaryText
                }
                StaticText {
                    width: parent.width
                    text: "Deskplay will return here automatically after Patreon."
                    wrapMode: Text.Wrap
                    font.pixelSize: Theme.captionSize
                    color: Theme.secondaryText
                }
                Row {
                    spacing: 8
                    LabelButton {
                        text: "Reopen page"
                        onClicked: view.setup.reopenSignInPage()
                    }
                    LabelButton {
                        text: "Cancel"
                        onClicked: view.setup.cancelSignIn()
                    }
                }
            }

            Column {
                visible: !view.setup.signInPending
                width: parent.width
                spacing: 8
                StaticText {
                    text: "Sign in to play online"
                    font.pixelSize: Theme.bodySize
                    font.bold: true
                    color: Theme.primaryText
                }
                StaticText {
                    width: parent.width
                    text: "Rooms on the hosted server need a Patreon account, so the other players see a real name at the table."
                    wrapMode: Text.Wrap
                    font.pixelSize: Theme.captionSize
                    color: Theme.secondaryText
                }
                LabelButton {
                    symbol: "person.crop.circle"
                    text: "Sign in with Patreon"
                    prominent: true
                    onClicked: view.setup.signIn()
                }
            }

            StaticText {
                visible: text !== ""
                width: parent.width
                text: view.setup.accountError
                wrapMode: Text.Wrap
                font.pixelSize: Theme.captionSize
                color: Theme.warning
            }
            StaticText {
                width: parent.width
                text: "Running your own room server? Set it under Settings › Multiplayer and no account is needed."
                wrapMode: Text.Wrap
                font.pixelSize: Theme.captionSize
                color: Theme.secondaryText
            }
        }
    }
}
