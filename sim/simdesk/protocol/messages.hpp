#pragma once

#include <string_view>

// The names on simdesk's socket. Every line is one JSON object. A request carries "id" (a
// positive integer the client chooses) and "type"; its reply carries the same "id" and "ok",
// with the fields below when ok is true and "error" (a text) when it is false. Lines without an
// "id" that carry "event" are pushed by simdesk to the clients that subscribed to them.
namespace deskplay::simdesk::protocol {

namespace fields {
inline constexpr std::string_view id = "id";
inline constexpr std::string_view type = "type";
inline constexpr std::string_view ok = "ok";
inline constexpr std::string_view error = "error";
inline constexpr std::string_view event = "event";
}  // namespace fields

namespace requests {
// {"app": name, "pid": n} → {}. The first request of every connection; the name keys privacy
// permissions and owns the connection's windows, which go when the connection closes.
inline constexpr std::string_view hello = "hello";
// {"events": [name…]} → {}. Pushes those events to this connection from now on.
inline constexpr std::string_view subscribe = "events.subscribe";

// {"source": text} → {"outcome": "succeeded"|"compileFailed"|"runFailed",
//   "result"?: {"string"?: text, "int32": n, "description": text},
//   "error"?: {"message"?: text, "number"?: n, "description": text}}
inline constexpr std::string_view scriptRun = "script.run";

// {} → {"state": the whole model}
inline constexpr std::string_view state = "state";
// {"path": absolute PNG path} → {"bytes": n}; every screen, as arranged, in one image
inline constexpr std::string_view screenshot = "screenshot";

// {"prompt": bool} → {"trusted": bool}; an untrusted prompt is recorded.
inline constexpr std::string_view axTrusted = "ax.trusted";
// {"pid": n} → {"element": bundle|null}
inline constexpr std::string_view axApplication = "ax.application";
// {"x": n, "y": n} (top-left origin) → {"element": bundle|null, "ancestors": [bundle…]}
// (the ancestors nearest first, up to the application element)
inline constexpr std::string_view axElementAtPoint = "ax.elementAtPoint";
// {"element": handle} → {"element": bundle|null}
inline constexpr std::string_view axElement = "ax.element";
// {"element": handle, "attributes"?: [name…]} → {"children": [bundle…]} (in AXChildren
// order); with "attributes", each bundle holds only those of them the child has.
inline constexpr std::string_view axChildren = "ax.children";
// {"pid"?: n (Finder's by default)} → {"tree": nested bundles, each with "children"}|null
inline constexpr std::string_view axTree = "ax.tree";

// {} → {"screens": [screen…], "main": screen|null}
inline constexpr std::string_view screensGet = "screens.get";
// {"screens": [{"width": n, "height": n}…]} (side by side, the first is the main one) → {}
inline constexpr std::string_view screensSet = "screens.set";

// {"kind": "window"|"panel"|"statusPanel", "contentRect": rect, "styleMask": n}
//   → {"window": number}
inline constexpr std::string_view windowCreate = "window.create";
// {"window": number, …}; every window request below answers {}.
inline constexpr std::string_view windowConfigure = "window.configure";    // "traits"
inline constexpr std::string_view windowSetFrame = "window.setFrame";      // "frame"
inline constexpr std::string_view windowOrderFront = "window.orderFront";  //
inline constexpr std::string_view windowOrderOut = "window.orderOut";      //
inline constexpr std::string_view windowDisplay = "window.display";        //
inline constexpr std::string_view windowSetContent = "window.setContent";  // "content"
inline constexpr std::string_view windowClose = "window.close";            //
// {} → {"windows": [window info…]} front to back, without desktop elements
inline constexpr std::string_view windowsOnScreen = "windows.onScreen";
// {"text": text, "size": n, "weight": "regular"|"semibold"} → {"width": n}
inline constexpr std::string_view textWidth = "text.width";

// {} → {"applications": [application…]}
inline constexpr std::string_view applicationsRunning = "applications.running";
// {} → {"application": application|null}
inline constexpr std::string_view applicationsFrontmost = "applications.frontmost";

// {} → {"reduceMotion": bool}
inline constexpr std::string_view displayOptionsGet = "displayOptions.get";
// {"reduceMotion": bool} → {}; pushes displayOptionsChanged when it changes.
inline constexpr std::string_view displayOptionsSet = "displayOptions.set";

// {"relaunch"?: bool} → {}: Finder quits (an error when it does not run); with relaunch, the
// system starts it again, as after `killall Finder`.
inline constexpr std::string_view finderQuit = "finder.quit";
// {} → {}: Finder starts (answering after a moment), or comes to the front when it runs.
inline constexpr std::string_view finderLaunch = "finder.launch";

// {"service": "accessibility"|"inputMonitoring", "app": name, "granted": bool} → {}
inline constexpr std::string_view privacySet = "privacy.set";
// {} → {"access": 0 granted|1 denied|2 unknown} for this connection's application
inline constexpr std::string_view privacyListenEvent = "privacy.listenEvent";
// {} → {"prompts": [{"app", "service"}…], "openedUrls": [{"app", "url"}…]}
inline constexpr std::string_view prompts = "prompts";

// {"paths": [absolute path…]} → {}: Finder reveals them in a window and comes to the front.
inline constexpr std::string_view workspaceReveal = "workspace.reveal";
// {"path": absolute path} → {}
inline constexpr std::string_view workspaceNoteChanged = "workspace.noteChanged";
// {"url": text} → {"opened": bool}; System Settings panes are recorded.
inline constexpr std::string_view workspaceOpenUrl = "workspace.openUrl";

// Input events. An event is {"type": name, "flags", "keyCode", "characters",
// "charactersIgnoringModifiers", "x", "y" (top-left origin), "sourceUserData"}; only "type" is
// required. A "sequence" numbers an event in arrival order; events.delivered is pushed when its
// way through the taps, monitors and its target has ended.
// {"event": event} → {"sequence": n}: the person's input (no source user data).
inline constexpr std::string_view eventsInject = "events.inject";
// {"event": event, "location": "hidSystem"|"session"} → {"sequence": n}: a program's synthetic
// event, with its source user data.
inline constexpr std::string_view eventsPost = "events.post";
// {} → {"records": [{"sequence", "stage": "tap"|"monitor"|"application", "origin":
//   "hardware"|"posted", "id"?, "pid", "app", "action"? ("passed"|"swallowed"|"timedOut"),
//   "event"}…]}, oldest first.
inline constexpr std::string_view eventsLog = "events.log";
// {} → {"location": point, "left": bool, "right": bool} (the hardware's button state)
inline constexpr std::string_view pointerGet = "pointer.get";
// {"x", "y"} → {}: moves the pointer without events.
inline constexpr std::string_view pointerWarp = "pointer.warp";
// {"mask": n} → {"tap": n|null}: an active tap at the head, disabled until enabled; null when
// this application may not watch the keyboard. Its events are pushed as eventTap.event to this
// connection (when it subscribed); the tap goes with the connection.
inline constexpr std::string_view eventTapCreate = "eventTap.create";
// {"tap": n, "enabled": bool} → {}
inline constexpr std::string_view eventTapEnable = "eventTap.enable";
// {"tap": n} → {"enabled": bool}
inline constexpr std::string_view eventTapState = "eventTap.state";
// {"tap": n, "sequence": n, "verdict": "pass"|"swallow"} → {}; late verdicts are ignored.
inline constexpr std::string_view eventTapVerdict = "eventTap.verdict";
// {"tap": n} → {}
inline constexpr std::string_view eventTapRemove = "eventTap.remove";
// {"mask": n} → {"monitor": n}: a global monitor; its events are pushed as
// eventMonitor.event to this connection (when it subscribed).
inline constexpr std::string_view eventMonitorAdd = "eventMonitor.add";
// {"monitor": n} → {}
inline constexpr std::string_view eventMonitorRemove = "eventMonitor.remove";
}  // namespace requests

namespace events {
// {} — the accessibility display options (reduce motion) changed.
inline constexpr std::string_view displayOptionsChanged = "displayOptions.changed";
// {"tap": n, "sequence": n, "input": event}: judge it and answer with eventTap.verdict. A
// notice (sequence 0, event type tapDisabledByTimeout) needs no answer.
inline constexpr std::string_view eventTapEvent = "eventTap.event";
// {"monitor": n, "input": event}
inline constexpr std::string_view eventMonitorEvent = "eventMonitor.event";
// {"sequence": n}: that event's way has ended (swallowed or delivered).
inline constexpr std::string_view eventsDelivered = "events.delivered";
}  // namespace events

// The window server's level for the desktop-icon level key (kCGDesktopIconWindowLevel).
inline constexpr int kDesktopIconWindowLevel = -2147483603;

}  // namespace deskplay::simdesk::protocol
