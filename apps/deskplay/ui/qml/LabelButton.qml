import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// A push button with its text and, when given, a symbol before it.
Button {
    id: button
    property string symbol
    property bool prominent: false
    opacity: enabled ? 1 : Theme.dimmedOpacity
    font.pixelSize: Theme.bodySize
    padding: 8
    leftPadding: 12
    rightPadding: 12
    contentItem: Row {
        spacing: 6
        SymbolIcon {
            visible: button.symbol !== ""
            symbol: button.symbol
            font.pixelSize: 14
            color: button.prominent ? "white" : Theme.primaryText
            height: parent.height
        }
        Text {
            text: button.text
            font: button.font
            color: button.prominent ? "white" : Theme.primaryText
            Accessible.ignored: true
        }
    }
    background: Rectangle {
        implicitHeight: 30
        radius: 7
        color: button.prominent ? (button.down ? "#0850ad" : Theme.accent)
                                : (button.down ? "#d0d0d5" : "#e4e4e8")
    }
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: if (enabled) clicked()
}
