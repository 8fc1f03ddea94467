import QtQuick
import QtQuick.Controls.Basic

// A stand-in for the real screens: two named buttons, a hover area, a text field and a text
// that grows on request.
Item {
    id: root
    width: 480
    implicitHeight: column.implicitHeight + 24

    property int snakePresses: 0
    property int stopPresses: 0
    property int extraLines: 0
    property int wheels: 0
    property bool hovered: hover.hovered
    property alias typed: field.text

    Column {
        id: column
        x: 12
        y: 12
        width: parent.width - 24
        spacing: 8

        Button {
            objectName: "snake"
            text: "Snake"
            width: parent.width
            Accessible.name: "Snake"
            Accessible.onPressAction: clicked()
            onClicked: root.snakePresses += 1
        }
        Button {
            objectName: "stop"
            text: "Stop && restore"
            width: parent.width
            Accessible.name: "Stop & restore"
            Accessible.onPressAction: clicked()
            onClicked: root.stopPresses += 1
        }
        Rectangle {
            objectName: "hoverArea"
            width: parent.width
            height: 40
            color: hover.hovered ? "#ff2060c0" : "#ffc0c0c0"
            HoverHandler { id: hover }
            WheelHandler { onWheel: root.wheels += 1 }
        }
        TextField {
            id: field
            objectName: "field"
            width: parent.width
            Accessible.name: "Room code"
        }
        Text {
            objectName: "message"
            width: parent.width
            wrapMode: Text.Wrap
            text: "Line\n".repeat(root.extraLines) + "End"
        }
    }
}
