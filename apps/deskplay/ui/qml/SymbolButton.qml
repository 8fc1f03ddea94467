import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// A button that shows only a symbol; assistive tools read the symbol's meaning.
AbstractButton {
    id: button
    property string symbol
    implicitWidth: 28
    implicitHeight: 28
    hoverEnabled: true
    opacity: enabled ? 1 : Theme.dimmedOpacity
    background: Rectangle {
        radius: 6
        color: button.down ? "#d8d8dc" : button.hovered ? "#e6e6ea" : "transparent"
    }
    contentItem: SymbolIcon {
        symbol: button.symbol
        font.pixelSize: 18
    }
    Accessible.role: Accessible.Button
    Accessible.name: Symbols.meaning(symbol)
    Accessible.onPressAction: if (enabled) clicked()
}
