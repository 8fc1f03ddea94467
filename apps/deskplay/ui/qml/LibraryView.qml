import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// The games: the permission banner while keyboard control is missing, one block per section
// with a grid of cards, and the catalog's refresh error.
Item {
    id: view
    required property QtObject library
    required property bool gamesEnabled
    signal select(string gameID)

    readonly property real contentWidth: width - 2 * Theme.margin
    readonly property real columnSpacing: 10
    readonly property real columnWidth: (contentWidth - 2 * columnSpacing) / 3
    implicitHeight: column.implicitHeight + 2 * 12

    Column {
        id: column
        x: Theme.margin
        y: 12
        width: view.contentWidth
        spacing: 12

        AbstractButton {
            id: banner
            visible: view.library.permissionNeeded
            width: parent.width
            height: 52
            onClicked: view.library.promptForPermission()
            background: Rectangle {
                radius: 10
                color: banner.down ? "#f7d9c4" : "#fbe7d9"
            }
            contentItem: Row {
                spacing: 10
                leftPadding: 12
                SymbolIcon {
                    symbol: "exclamationmark.shield.fill"
                    font.pixelSize: 22
                    color: Theme.warning
                    height: parent.height
                }
                Column {
                    anchors.verticalCenter: parent.verticalCenter
                    width: banner.width - 80
                    Text {
                        text: "Input access needed"
                        font.pixelSize: Theme.bodySize
                        font.bold: true
                        color: Theme.primaryText
                    }
                    Text {
                        text: "Grant keyboard control to play"
                        font.pixelSize: Theme.captionSize
                        color: Theme.secondaryText
                    }
                }
                SymbolIcon {
                    symbol: "chevron.right"
                    color: Theme.secondaryText
                    height: parent.height
                }
            }
            Accessible.role: Accessible.Button
            Accessible.name: "Input access needed"
            Accessible.description: "Grant keyboard control to play"
            Accessible.onPressAction: clicked()
        }

        ScrollView {
            id: scroll
            width: parent.width
            height: Math.min(sections.implicitHeight, 430)
            visible: sections.implicitHeight > 0
            contentWidth: availableWidth
            clip: true

            Column {
                id: sections
                width: scroll.availableWidth
                spacing: 16
                Repeater {
                    model: view.library.sections
                    Column {
                        id: section
                        required property var modelData
                        width: sections.width
                        spacing: 10
                        StaticText {
                            text: section.modelData.caption
                            font.pixelSize: Theme.captionSize
                            font.bold: true
                            color: Theme.secondaryText
                        }
                        Flow {
                            width: parent.width
                            spacing: view.columnSpacing
                            Repeater {
                                model: section.modelData.games
                                GameCard {
                                    required property var modelData
                                    game: modelData
                                    enabled: view.gamesEnabled
                                    columnWidth: view.columnWidth
                                    columnSpacing: view.columnSpacing
                                    hoverScale: view.library.hoverScale
                                    hoverSpring: view.library.hoverSpring
                                    hoverDamping: view.library.hoverDamping
                                    onClicked: view.select(modelData.id)
                                }
                            }
                        }
                    }
                }
            }
        }

        StaticText {
            visible: text !== ""
            width: parent.width
            text: view.library.refreshError
            wrapMode: Text.Wrap
            font.pixelSize: Theme.captionSize
            color: view.library.refreshErrorIsCritical ? Theme.error : Theme.secondaryText
        }
    }
}
