import QtQuick

// A text that assistive tools read as it stands.
Text {
    Accessible.role: Accessible.StaticText
    Accessible.name: text
}
