import QtQuick
import Deskplay.Popover

// One system symbol, drawn with the symbol font; nothing while `symbol` is empty.
Text {
    property string symbol
    text: symbol !== "" ? Symbols.text(symbol) : ""
    font.family: Symbols.fontFamily
    font.pixelSize: 16
    color: Theme.primaryText
    verticalAlignment: Text.AlignVCenter
    horizontalAlignment: Text.AlignHCenter
    Accessible.ignored: true
}
