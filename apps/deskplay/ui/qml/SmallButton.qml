import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// A compact button for a pane's small actions, with an optional symbol before its text.
Button {
    id: button
    property string symbol
    opacity: enabled ? 1 : Theme.dimmedOpacity
    font.pixelSize: Theme.captionSize + 1
    padding: 4
    leftPadding: 10
    rightPadding: 10
    contentItem: Row {
        spacing: 4
        SymbolIcon {
            visible: button.symbol !== ""
            symbol: button.symbol
            font.pixelSize: 12
            height: parent.height
        }
        Text {
            text: button.text
            font: button.font
            color: Theme.primaryText
            verticalAlignment: Text.AlignVCenter
            Accessible.ignored: true
        }
    }
    background: Rectangle {
        implicitHeight: 24
        radius: 6
        color: button.down ? "#d0d0d5" : button.hovered ? "#ececf0" : "#e4e4e8"
    }
    hoverEnabled: true
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: if (enabled) clicked()
}
