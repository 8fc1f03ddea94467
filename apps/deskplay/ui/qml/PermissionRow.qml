import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// A privacy permission: granted, with a green check, or missing, as a button that opens its
// System Settings page.
AbstractButton {
    id: row
    property string title
    property string subtitle
    property bool granted

    width: parent ? parent.width : 0
    implicitHeight: Math.max(label.implicitHeight, 28) + 12
    enabled: !granted
    hoverEnabled: true
    background: Rectangle {
        radius: 8
        color: row.granted ? "transparent" : row.down ? "#e4e4e8" : row.hovered ? "#f2f2f5" : "transparent"
    }
    contentItem: Item {
        RowLabel {
            id: label
            anchors.left: parent.left
            anchors.leftMargin: 6
            anchors.right: status.left
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            title: row.title
            subtitle: row.subtitle
        }
        Row {
            id: status
            anchors.right: parent.right
            anchors.rightMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            spacing: 4
            SymbolIcon {
                symbol: row.granted ? "checkmark.circle.fill" : "exclamationmark.triangle.fill"
                color: row.granted ? Theme.granted : Theme.attention
            }
            StaticText {
                visible: row.granted
                text: "Granted"
                font.pixelSize: Theme.captionSize
                color: Theme.granted
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }
    Accessible.role: Accessible.Button
    Accessible.name: title
    Accessible.description: subtitle
    Accessible.onPressAction: if (enabled) clicked()
}
