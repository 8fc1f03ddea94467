pragma Singleton
import QtQuick

// The popover's colours and type sizes.
QtObject {
    readonly property color cardBackground: "#ffffff"
    readonly property color primaryText: "#1d1d1f"
    readonly property color secondaryText: "#6e6e73"
    readonly property color divider: "#d2d2d7"
    readonly property color accent: "#0a64d8"
    readonly property color error: "#d70015"
    readonly property color warning: "#c93400"
    readonly property color attention: "#f08a00"
    readonly property color granted: "#1f9d3a"
    readonly property color keyCap: "#e4e4e8"
    readonly property int captionSize: 11
    readonly property int bodySize: 13
    readonly property int titleSize: 15
    readonly property int margin: 16
    readonly property real dimmedOpacity: 0.4
}
