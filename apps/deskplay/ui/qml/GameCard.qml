import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// One game of the library: its glyph on its gradient (twice as wide for a wide glyph), its
// name, the multiplayer symbol for online games and the play hint. Under the pointer it grows
// with a spring; while games cannot start it is dimmed and does nothing.
AbstractButton {
    id: card
    required property var game
    property real columnWidth: 140
    property real columnSpacing: 10
    property real hoverScale: 1
    property real hoverSpring: 0
    property real hoverDamping: 0

    width: game.wideGlyph ? columnWidth * 2 + columnSpacing : columnWidth
    height: 124
    hoverEnabled: true
    scale: hovered && enabled ? hoverScale : 1
    opacity: enabled ? 1 : Theme.dimmedOpacity
    Behavior on scale {
        SpringAnimation {
            spring: card.hoverSpring
            damping: card.hoverDamping
            epsilon: 0.0005
        }
    }

    background: Rectangle {
        radius: 10
        color: Theme.cardBackground
        border.color: Theme.divider
    }
    contentItem: Column {
        spacing: 6
        GradientTile {
            id: tile
            width: parent.width
            height: 80
            colors: card.game.gradient
            GlyphView {
                anchors.fill: parent
                anchors.margins: 10
                cells: card.game.glyph
            }
        }
        Row {
            width: parent.width
            spacing: 4
            Text {
                width: parent.width - multiplayerSymbol.width - playSymbol.width - 8
                text: card.game.name
                elide: Text.ElideRight
                font.pixelSize: Theme.bodySize
                font.bold: true
                color: Theme.primaryText
                Accessible.ignored: true
            }
            SymbolIcon {
                id: multiplayerSymbol
                symbol: "person.2.fill"
                visible: card.game.multiplayer
                width: visible ? 16 : 0
                font.pixelSize: 13
                color: Theme.secondaryText
            }
            SymbolIcon {
                id: playSymbol
                symbol: "play.fill"
                width: 16
                font.pixelSize: 13
                color: Theme.accent
            }
        }
    }
    padding: 8

    Accessible.role: Accessible.Button
    Accessible.name: game.name
    Accessible.onPressAction: if (enabled) clicked()
}
