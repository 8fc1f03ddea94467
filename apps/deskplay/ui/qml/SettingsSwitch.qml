import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// A row with its label and a switch on the right; a click anywhere on the row asks for the
// other position (`switchedTo`), and the switch shows `isOn`, what the store then says.
AbstractButton {
    id: row
    property string title
    property string subtitle
    property bool isOn
    signal switchedTo(bool on)

    width: parent ? parent.width : 0
    implicitHeight: Math.max(label.implicitHeight, track.height) + 8
    hoverEnabled: true
    onClicked: row.switchedTo(!row.isOn)

    background: Item {}
    contentItem: Item {
        RowLabel {
            id: label
            anchors.left: parent.left
            anchors.right: track.left
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            title: row.title
            titlePublished: false
            subtitle: row.subtitle
        }
        Rectangle {
            id: track
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: 38
            height: 22
            radius: height / 2
            color: row.isOn ? Theme.granted : (row.hovered ? "#c7c7cc" : "#d1d1d6")
            Rectangle {
                width: parent.height - 4
                height: width
                radius: width / 2
                y: 2
                x: row.isOn ? parent.width - width - 2 : 2
                color: "white"
                border.color: "#b0b0b5"
            }
        }
    }
    Accessible.role: Accessible.CheckBox
    Accessible.name: title
    Accessible.description: subtitle
    Accessible.checkable: true
    Accessible.checked: isOn
    Accessible.onPressAction: row.switchedTo(!row.isOn)
    Accessible.onToggleAction: row.switchedTo(!row.isOn)
}
