import QtQuick
import Deskplay.Popover

// A rounded tile filled with a game's card gradient, left to right.
Rectangle {
    id: tile
    property var colors: []
    radius: 8
    color: colors.length > 0 ? colors[0] : Theme.divider
    gradient: colors.length > 1 ? cardGradient : null

    Gradient {
        id: cardGradient
        orientation: Gradient.Horizontal
        stops: tile.colors.map((color, index) => stopComponent.createObject(
                                   cardGradient, {position: index / (tile.colors.length - 1),
                                                  color: color}))
    }
    Component {
        id: stopComponent
        GradientStop {}
    }
}
