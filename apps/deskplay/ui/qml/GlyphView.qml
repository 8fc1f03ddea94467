import QtQuick
import Deskplay.Popover

// A pixel-art glyph: rows of square cells; a cell with a colour is filled, one without stays
// transparent. The cells are as large as the area allows.
Item {
    id: glyph
    property var cells: []
    readonly property int rows: cells.length
    readonly property int columns: cells.reduce((longest, row) => Math.max(longest, row.length), 0)
    readonly property real cellSize: rows > 0 && columns > 0
                                     ? Math.max(1, Math.floor(Math.min(width / columns, height / rows)))
                                     : 0
    Accessible.ignored: true

    Column {
        anchors.centerIn: parent
        width: glyph.columns * glyph.cellSize
        Repeater {
            model: glyph.cells
            Row {
                required property var modelData
                Repeater {
                    model: parent.modelData
                    Rectangle {
                        required property color modelData
                        width: glyph.cellSize
                        height: glyph.cellSize
                        color: modelData
                    }
                }
            }
        }
    }
}
