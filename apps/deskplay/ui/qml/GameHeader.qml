import QtQuick
import Deskplay.Popover

// A game's glyph on its gradient beside a caption and the game's name.
Row {
    id: header
    required property var game
    property string caption
    property bool captionFirst: false
    spacing: 12
    GradientTile {
        width: 56
        height: 56
        colors: header.game.gradient
        GlyphView {
            anchors.fill: parent
            anchors.margins: 8
            cells: header.game.glyph
        }
    }
    Column {
        anchors.verticalCenter: parent.verticalCenter
        StaticText {
            visible: header.captionFirst
            text: header.caption
            font.pixelSize: Theme.captionSize
            color: Theme.secondaryText
        }
        StaticText {
            text: header.game.name
            font.pixelSize: Theme.titleSize
            font.bold: true
            color: Theme.primaryText
        }
        StaticText {
            visible: !header.captionFirst
            text: header.caption
            font.pixelSize: Theme.captionSize
            color: Theme.secondaryText
        }
    }
}
