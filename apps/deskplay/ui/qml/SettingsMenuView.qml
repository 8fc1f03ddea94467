import QtQuick
import Deskplay.Popover

// The settings categories, one row each.
Item {
    id: view
    required property var categories
    // A privacy permission is missing: the Permissions row says so.
    property bool permissionsMissing
    signal select(string name)

    implicitHeight: column.implicitHeight + 2 * 12

    Column {
        id: column
        x: Theme.margin
        y: 12
        width: view.width - 2 * Theme.margin
        spacing: 8
        Repeater {
            model: view.categories
            ChoiceRow {
                required property var modelData
                symbol: modelData.symbol
                title: modelData.title
                subtitle: modelData.subtitle
                tileColors: [Theme.accent]
                markSymbol: modelData.name === "permissions" && view.permissionsMissing
                            ? "exclamationmark.circle.fill" : ""
                onClicked: view.select(modelData.name)
            }
        }
    }
}
