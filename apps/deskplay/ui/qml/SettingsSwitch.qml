import QtQuick
import QtQuick.Controls.Basic
import Deskplay.Popover

// A row with its label and a switch on the right, published as a check box. A click anywhere
// on the row asks for the other position (`switchedTo`); the switch shows `checked`, which
// follows what the store then says rather than the click.
CheckBox {
    id: row
    property string title
    property string subtitle
    signal switchedTo(bool on)

    width: parent ? parent.width : 0
    implicitHeight: Math.max(contentItem.implicitHeight, indicator.height) + 8
    // The click leaves the box as it is: the store's answer moves it.
    nextCheckState: function() { return checkState; }
    hoverEnabled: true
    padding: 0
    spacing: 12
    rightPadding: indicator.width + spacing
    onClicked: row.switchedTo(!row.checked)

    indicator: Rectangle {
        id: track
        x: row.width - width
        y: (row.height - height) / 2
        width: 38
        height: 22
        radius: height / 2
        color: row.checked ? Theme.granted : (row.hovered ? "#b8b8be" : "#c4c4ca")
        border.color: row.checked ? Theme.granted : "#9a9aa0"
        Rectangle {
            width: parent.height - 4
            height: width
            radius: width / 2
            y: 2
            x: row.checked ? parent.width - width - 2 : 2
            color: "white"
            border.color: "#9a9aa0"
        }
    }
    contentItem: RowLabel {
        id: label
        title: row.title
        titlePublished: false
        subtitle: row.subtitle
    }
    Accessible.name: title
    Accessible.description: subtitle
    Accessible.onPressAction: row.switchedTo(!row.checked)
    Accessible.onToggleAction: row.switchedTo(!row.checked)
}
