import QtQuick
import Deskplay.Popover

// The popover: the header, the screen the router chooses, and the supervisor's last error.
// Its implicit height follows what it shows, so the panel can be sized from it. It paints no
// background of its own: the panel's translucent material shows through.
Item {
    id: root
    required property QtObject router

    width: 480
    implicitWidth: 480
    implicitHeight: column.implicitHeight

    Column {
        id: column
        width: parent.width

        Item {
            width: parent.width
            height: 44
            Row {
                anchors.left: parent.left
                anchors.leftMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                spacing: 6
                SymbolButton {
                    visible: root.router.hasBack
                    symbol: "chevron.left"
                    onClicked: root.router.goBack()
                }
                SymbolIcon {
                    symbol: "gamecontroller.fill"
                    font.pixelSize: 20
                    height: 28
                }
                Text {
                    text: root.router.headerTitle
                    font.pixelSize: Theme.titleSize
                    font.bold: true
                    color: Theme.primaryText
                    height: 28
                    verticalAlignment: Text.AlignVCenter
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                }
            }
            Row {
                anchors.right: parent.right
                anchors.rightMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                spacing: 4
                SymbolButton {
                    symbol: "gearshape.fill"
                    onClicked: root.router.openSettings()
                }
                SymbolButton {
                    symbol: "power"
                    onClicked: root.router.quit()
                }
            }
        }

        Rectangle {
            width: parent.width
            height: 1
            color: Theme.divider
        }

        Loader {
            id: screen
            width: parent.width
            height: item ? item.implicitHeight : 0
            sourceComponent: {
                switch (root.router.screen) {
                case "nowPlaying":
                    return nowPlaying;
                case "library":
                    return library;
                case "modeChoice":
                    return Object.keys(root.router.routeGame).length > 0 ? modeChoice : null;
                case "setup":
                    return Object.keys(root.router.routeGame).length > 0 ? setup : null;
                case "settings":
                    return settingsMenu;
                case "settingsCategory":
                    return settingsDetail;
                default:
                    return null;
                }
            }
        }

        StaticText {
            visible: text !== ""
            x: Theme.margin
            width: parent.width - 2 * Theme.margin
            bottomPadding: 10
            text: root.router.lastError
            wrapMode: Text.Wrap
            font.pixelSize: Theme.captionSize
            color: Theme.error
        }
    }

    Component {
        id: library
        LibraryView {
            library: root.router.library
            gamesEnabled: root.router.gamesEnabled
            onSelect: gameID => root.router.selectGame(gameID)
        }
    }
    Component {
        id: modeChoice
        ModeChoiceView {
            game: root.router.routeGame
            gamesEnabled: root.router.gamesEnabled
            onSolo: root.router.chooseSolo()
            onMultiplayer: root.router.chooseMultiplayer()
        }
    }
    Component {
        id: setup
        MultiplayerSetupView {
            game: root.router.routeGame
            setup: root.router.setup
        }
    }
    Component {
        id: nowPlaying
        NowPlayingView {
            game: root.router.currentGame
            onStop: root.router.stopGame()
        }
    }
    Component {
        id: settingsMenu
        SettingsMenuView {
            categories: root.router.settingsCategories
            permissionsMissing: root.router.settings.permissions.anyMissing
            onSelect: name => root.router.openSettingsCategory(name)
        }
    }
    Component {
        id: settingsDetail
        SettingsDetailView {
            category: root.router.settingsCategory
            settings: root.router.settings
        }
    }
}
