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
// {"title", "pid"?: n} → {"pid", "x", "y"}: the centre (top-left origin) of the first
// enabled element with that title that an application published (of that process), through
// the windows front to back; an error when there is none.
inline constexpr std::string_view axFindTitled = "ax.findTitled";

// {} → {"screens": [screen…], "main": screen|null}
inline constexpr std::string_view screensGet = "screens.get";
// {"screens": [{"width": n, "height": n}…]} (side by side, the first is the main one) → {}
inline constexpr std::string_view screensSet = "screens.set";

// {"kind": "window"|"panel"|"statusPanel"|"content", "contentRect": rect, "styleMask": n}
//   → {"window": number}. A content window's pixels come from its application (below).
inline constexpr std::string_view windowCreate = "window.create";
// {"window": number, …}; every window request below answers {}.
inline constexpr std::string_view windowConfigure = "window.configure";    // "traits"
inline constexpr std::string_view windowSetFrame = "window.setFrame";      // "frame"
inline constexpr std::string_view windowOrderFront = "window.orderFront";  //
inline constexpr std::string_view windowOrderOut = "window.orderOut";      //
inline constexpr std::string_view windowDisplay = "window.display";        //
inline constexpr std::string_view windowSetContent = "window.setContent";  // "content"
inline constexpr std::string_view windowClose = "window.close";            //
// Content windows. {"window", "width", "height", "stride"} with one descriptor passed along
// the request's line (SCM_RIGHTS): a memfd sealed against shrinking, holding the window's
// premultiplied ARGB32 rows, top row first. It replaces the window's buffer (a new size
// needs a new buffer) and shows nothing new until committed.
inline constexpr std::string_view windowAttachBuffer = "window.attachBuffer";
// {"window", "damage": [{"x","y","width","height"}…]} (pixels, top-left origin) → {}: simdesk
// copies the damaged pixels out of the buffer before it answers, so the client may draw its
// next frame into the same buffer once the reply is there.
inline constexpr std::string_view windowCommit = "window.commit";
inline constexpr std::string_view windowSetAlpha = "window.setAlpha";  // "alpha" 0…1
inline constexpr std::string_view windowSetTitle = "window.setTitle";  // "title"
// The window becomes key (and comes to the front); the window that was key resigns.
inline constexpr std::string_view windowMakeKey = "window.makeKey";
inline constexpr std::string_view windowResignKey = "window.resignKey";
// {"window", "tree": [node…]}, node = {"role", "title", "value", "enabled", "frame" (window
// coordinates, top-left origin), "children": [node…]}: what the window shows, for the
// accessibility tree.
inline constexpr std::string_view windowSetAccessibility = "window.setAccessibility";
// {} → {"windows": [window info…]} front to back, without desktop elements
inline constexpr std::string_view windowsOnScreen = "windows.onScreen";
// {} → {"windows": [{"number", "pid", "owner", "title", "role", "level", "alpha", "key",
//   "bounds"}…]}: every window on screen, front to back, as simdeskctl lists them.
inline constexpr std::string_view windowsList = "windows.list";

// Status items. {"appearance": {"title", "image"?: base64 PNG, "length"?: n,
//   "accessibilityTitle"}} → {"item": n}
inline constexpr std::string_view statusItemCreate = "statusItem.create";
// {"item", "appearance"} → {}
inline constexpr std::string_view statusItemUpdate = "statusItem.update";
// {"item"} → {}
inline constexpr std::string_view statusItemRemove = "statusItem.remove";
// {"item", "highlighted": bool} → {}
inline constexpr std::string_view statusItemHighlight = "statusItem.highlight";
// {"item"} → {"inserted": bool, "buttonWindowFrame"?: rect (bottom-left origin)}
inline constexpr std::string_view statusItemGet = "statusItem.get";
// {"item", "press", "verdict": "take"|"pass"} → {}
inline constexpr std::string_view statusItemVerdict = "statusItem.verdict";
// {} → {"items": [{"item", "pid", "owner", "title", "inserted", "highlighted", "frame"
//   (top-left origin)}…]} right to left
inline constexpr std::string_view statusItemsList = "statusItems.list";

// {"name"} → {}: posts a distributed notification; observers get notification.posted.
inline constexpr std::string_view notificationPost = "notification.post";
// {} → {"notifications": [{"name", "pid", "app"}…]} oldest first
inline constexpr std::string_view notificationsLog = "notifications.log";

// {"startingFolder", "prompt", "canCreateFolders": bool} → {"panel": n}; the answer comes as
// openPanel.answered.
inline constexpr std::string_view openPanelRun = "openPanel.run";
// {"answer": "choose"|"cancel", "path"?: absolute folder} → {}: answers the panel shown.
inline constexpr std::string_view openPanelAnswer = "openPanel.answer";
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
// {"window", "input": {"kind", "button", "flags", "x", "y", "deltaX", "deltaY", "keyCode",
//   "characters", "charactersIgnoringModifiers"}}: input for one of this connection's
// content windows, in the window's coordinates.
inline constexpr std::string_view windowInput = "window.input";
// {"window", "key": bool}: the window became key or resigned.
inline constexpr std::string_view windowKey = "window.key";
// {"item", "press", "button": "left"|"right", "flags", "x", "y"}: answer with
// statusItem.verdict.
inline constexpr std::string_view statusItemMouseDown = "statusItem.mouseDown";
// {"item"}: the person dragged the item out of the menu bar.
inline constexpr std::string_view statusItemRemoved = "statusItem.removed";
// {"name", "pid", "app"}
inline constexpr std::string_view notificationPosted = "notification.posted";
// {"panel", "path": folder|null}
inline constexpr std::string_view openPanelAnswered = "openPanel.answered";
}  // namespace events

// The window server's level for the desktop-icon level key (kCGDesktopIconWindowLevel).
inline constexpr int kDesktopIconWindowLevel = -2147483603;

}  // namespace deskplay::simdesk::protocol
