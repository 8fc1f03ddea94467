import QtQuick
import Deskplay.Popover

// Solo or multiplayer for one game.
Item {
    id: view
    required property var game
    required property bool gamesEnabled
    signal solo()
    signal multiplayer()

    implicitHeight: column.implicitHeight + 2 * 12

    Column {
        id: column
        x: Theme.margin
        y: 12
        width: view.width - 2 * Theme.margin
        spacing: 10
        StaticText {
            text: "How do you want to play?"
            font.pixelSize: Theme.titleSize
            font.bold: true
            color: Theme.primaryText
        }
        ChoiceRow {
            symbol: "person.fill"
            title: view.game.soloTitle
            subtitle: view.game.soloSubtitle
            tileColors: view.game.gradient
            enabled: view.gamesEnabled
            onClicked: view.solo()
        }
        ChoiceRow {
            symbol: "person.2.fill"
            title: view.game.multiplayerTitle
            subtitle: view.game.multiplayerSubtitle
            tileColors: view.game.gradient
            enabled: view.gamesEnabled
            onClicked: view.multiplayer()
        }
    }
}
