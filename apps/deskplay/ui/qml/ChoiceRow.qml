import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// A row that leads somewhere: a symbol on a tile, a title with a subtitle, and a chevron.
AbstractButton {
    id: row
    property string symbol
    property string title
    property string subtitle
    property var tileColors: []
    // A symbol that asks for attention, before the chevron; none when empty.
    property string markSymbol
    property color markColor: Theme.attention
    width: parent ? parent.width : 0
    height: 56
    hoverEnabled: true
    opacity: enabled ? 1 : Theme.dimmedOpacity
    background: Rectangle {
        radius: 10
        color: row.down ? "#e4e4e8" : row.hovered ? "#f7f7f9" : Theme.cardBackground
        border.color: Theme.divider
    }
    contentItem: Row {
        spacing: 12
        leftPadding: 10
        GradientTile {
            width: 36
            height: 36
            anchors.verticalCenter: parent.verticalCenter
            colors: row.tileColors
            SymbolIcon {
                anchors.centerIn: parent
                symbol: row.symbol
                font.pixelSize: 20
                color: "white"
            }
        }
        Column {
            anchors.verticalCenter: parent.verticalCenter
            width: row.width - 100 - (mark.visible ? mark.width + 12 : 0)
            Text {
                text: row.title
                font.pixelSize: Theme.bodySize
                font.bold: true
                color: Theme.primaryText
            }
            Text {
                visible: text !== ""
                width: parent.width
                text: row.subtitle
                elide: Text.ElideRight
                font.pixelSize: Theme.captionSize
                color: Theme.secondaryText
            }
        }
        SymbolIcon {
            id: mark
            visible: row.markSymbol !== ""
            symbol: row.markSymbol
            color: row.markColor
            height: parent.height
        }
        SymbolIcon {
            symbol: "chevron.right"
            color: Theme.secondaryText
            height: parent.height
        }
    }
    Accessible.role: Accessible.Button
    Accessible.name: title
    Accessible.description: subtitle
    Accessible.onPressAction: if (enabled) clicked()
}
