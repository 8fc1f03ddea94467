import QtQuick
import Deskplay.Popover

// The keys of a game: the heading, then each hint's keys as key caps beside what they do.
Column {
    id: sheet
    property var controls: []
    spacing: 6
    StaticText {
        text: "Controls"
        font.capitalization: Font.AllUppercase
        font.pixelSize: Theme.captionSize
        font.bold: true
        color: Theme.secondaryText
    }
    Repeater {
        model: sheet.controls
        Row {
            id: hint
            required property var modelData
            spacing: 10
            Rectangle {
                width: Math.max(keys.implicitWidth + 12, 36)
                height: keys.implicitHeight + 6
                radius: 5
                color: Theme.keyCap
                border.color: Theme.divider
                StaticText {
                    id: keys
                    anchors.centerIn: parent
                    text: hint.modelData.keys
                    font.pixelSize: Theme.captionSize
                    font.family: "DejaVu Sans Mono"
                    color: Theme.primaryText
                }
            }
            StaticText {
                anchors.verticalCenter: parent.verticalCenter
                text: hint.modelData.action
                font.pixelSize: Theme.bodySize
                color: Theme.primaryText
            }
        }
    }
}
