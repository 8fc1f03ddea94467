import QtQuick
import Deskplay.Popover

// A settings row's label: its title with a secondary subtitle below. A row whose control
// carries the title itself keeps the title text out of the accessibility tree, so that the
// title names one element only.
Column {
    property string title
    property string subtitle
    property bool titlePublished: true
    spacing: 2
    StaticText {
        Accessible.ignored: !parent.titlePublished
        width: parent.width
        text: parent.title
        wrapMode: Text.Wrap
        font.pixelSize: Theme.bodySize
        font.bold: true
        color: Theme.primaryText
    }
    StaticText {
        visible: text !== ""
        width: parent.width
        text: parent.subtitle
        wrapMode: Text.Wrap
        font.pixelSize: Theme.captionSize
        color: Theme.secondaryText
    }
}
