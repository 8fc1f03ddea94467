import QtQuick
import Deskplay.Popover

// One settings pane, chosen by its category's identifier.
Item {
    id: view
    required property string category
    required property QtObject settings

    implicitHeight: pane.implicitHeight + 2 * 14

    Loader {
        id: pane
        x: Theme.margin
        y: 14
        width: view.width - 2 * Theme.margin
        height: item ? item.implicitHeight : 0
        sourceComponent: {
            switch (view.category) {
            case "account":
                return account;
            case "general":
                return general;
            case "permissions":
                return permissions;
            case "controls":
                return controls;
            case "saved":
                return saved;
            case "multiplayer":
                return multiplayer;
            case "desktop":
                return desktop;
            default:
                return null;
            }
        }
    }

    Component {
        id: account
        AccountPane { pane: view.settings.account }
    }
    Component {
        id: general
        GeneralPane { pane: view.settings.general }
    }
    Component {
        id: permissions
        PermissionsPane { pane: view.settings.permissions }
    }
    Component {
        id: controls
        ControlsPane { pane: view.settings.controls }
    }
    Component {
        id: saved
        SavedPane { pane: view.settings.saved }
    }
    Component {
        id: multiplayer
        MultiplayerPane { pane: view.settings.multiplayer }
    }
    Component {
        id: desktop
        DesktopSafetyPane { pane: view.settings.desktop }
    }
}
