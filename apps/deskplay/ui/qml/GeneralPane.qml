import QtQuick
import Deskplay.Popover

// The General pane: opening at login, and the games' sounds.
Column {
    required property QtObject pane
    spacing: 14

    SettingsSwitch {
        title: "Launch at login"
        subtitle: "Open Deskplay when you sign in"
        checked: pane.launchAtLogin
        onSwitchedTo: on => pane.launchAtLogin = on
    }
    SettingsSwitch {
        title: "Game sounds"
        subtitle: "Play sound effects while a game runs"
        checked: pane.gameSounds
        onSwitchedTo: on => pane.gameSounds = on
    }
}
